#include "runtime/core/object_table.h"

#include <cstring>

#include "runtime/core/heaps.h"

namespace {

bool IsNumber(const ObjectTable* table, ObjectId id)
{
    return id >= 0 && id < table->capacity;
}

void* Slot(const ObjectTable* table, ObjectId id)
{
    return table->slots + id * table->objectSize;
}

bool IsLive(const void* record)
{
    return *static_cast<void* const*>(record) != nullptr;
}

bool Grow(ObjectTable* table, ObjectId id)
{
    // Bounding the number also keeps capacity * objectSize in range.
    if (id >= ObjectNumberLimit - table->growthStep)
        return false;
    int32_t capacity = static_cast<int32_t>(id) + table->growthStep;
    void* slots = MainHeapResizeZero(table->slots, static_cast<size_t>(capacity) * table->objectSize);
    if (!slots)
        return false;
    table->slots = static_cast<uint8_t*>(slots);
    table->capacity = capacity;
    return true;
}

}  // namespace

ObjectTable* ObjectTableNew(int32_t objectSize, int32_t growthStep, ObjectReleaseRoutine releaseRoutine)
{
    if (objectSize < static_cast<int32_t>(sizeof(void*)) || growthStep < 1 || growthStep >= ObjectNumberLimit)
        return nullptr;
    auto* table = static_cast<ObjectTable*>(MainHeapAllocZero(sizeof(ObjectTable)));
    if (!table)
        return nullptr;
    table->autoListHead = nullptr;
    table->releaseRoutine = releaseRoutine;
    table->objectSize = objectSize;
    table->growthStep = growthStep;
    table->capacity = growthStep;
    table->slots = static_cast<uint8_t*>(MainHeapAllocZero(static_cast<size_t>(objectSize) * growthStep));
    if (!table->slots) {
        MainHeapFree(table);
        return nullptr;
    }
    return table;
}

void* ObjectTableAllocate(ObjectTable* table, ObjectId id)
{
    if (!table)
        return nullptr;
    if (id == AutoNumber) {
        void* record = ListAdd(&table->autoListHead, sizeof(ListNode) + table->objectSize);
        if (!record)
            return nullptr;
        if (!HandleSetAdd(&table->handles, reinterpret_cast<uintptr_t>(record))) {
            ListRemove(&table->autoListHead, record);
            return nullptr;
        }
        return record;
    }
    if (id < 0)
        return nullptr;
    if (id >= table->capacity && !Grow(table, id))
        return nullptr;
    if (table->releaseRoutine)
        table->releaseRoutine(id);
    return Slot(table, id);
}

void* ObjectTableLookup(ObjectTable* table, ObjectId id)
{
    void* candidate = ObjectTableSlot(table, id);
    return candidate && IsLive(candidate) ? candidate : nullptr;
}

void* ObjectTableSlot(ObjectTable* table, ObjectId id)
{
    if (!table)
        return nullptr;
    if (IsNumber(table, id))
        return Slot(table, id);
    if (HandleSetContains(&table->handles, static_cast<uintptr_t>(id)))
        return reinterpret_cast<void*>(id);
    return nullptr;
}

void ObjectTableRelease(ObjectTable* table, ObjectId id)
{
    if (!table)
        return;
    if (IsNumber(table, id)) {
        memset(Slot(table, id), 0, table->objectSize);
    } else if (HandleSetContains(&table->handles, static_cast<uintptr_t>(id))) {
        HandleSetRemove(&table->handles, static_cast<uintptr_t>(id));
        // A walk in progress must not step onto the freed node.
        ListNode* node = ListNodeOf(reinterpret_cast<void*>(id));
        if (table->iterNode == node)
            table->iterNode = node->newer;
        ListRemove(&table->autoListHead, reinterpret_cast<void*>(id));
    }
}

void ObjectTableIterateBegin(ObjectTable* table)
{
    if (!table)
        return;
    table->iterIndex = 0;
    table->iterNode = table->autoListHead;
    while (table->iterNode && table->iterNode->older)
        table->iterNode = table->iterNode->older;
}

void* ObjectTableIterateNext(ObjectTable* table, ObjectId* id)
{
    if (!table)
        return nullptr;
    while (table->iterIndex >= 0 && table->iterIndex < table->capacity) {
        int32_t n = table->iterIndex++;
        void* slot = Slot(table, n);
        if (IsLive(slot)) {
            *id = n;
            return slot;
        }
    }
    if (table->iterNode) {
        void* payload = ListPayload(table->iterNode);
        *id = reinterpret_cast<ObjectId>(payload);
        table->iterNode = table->iterNode->newer;
        return payload;
    }
    return nullptr;
}

void ObjectTableReleaseAll(ObjectTable* table)
{
    if (!table || !table->releaseRoutine)
        return;
    ObjectId id = 0;
    ObjectTableIterateBegin(table);
    while (ObjectTableIterateNext(table, &id))
        table->releaseRoutine(id);
}
