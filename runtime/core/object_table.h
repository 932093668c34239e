// The numbered-object registry every runtime library keeps its objects in.
#pragma once

#include <cstdint>

#include "runtime/core/handle_set.h"
#include "runtime/core/list.h"

// Either an object number (0 <= id < capacity) or an object handle (the
// address of an AutoNumber object's record).
using ObjectId = intptr_t;

constexpr ObjectId AutoNumber = -1;

// Numbers stay below the lowest address Windows ever maps, so that no
// handle can be taken for a number however far a table grows.
constexpr ObjectId ObjectNumberLimit = 0x10000;

using ObjectReleaseRoutine = void (*)(ObjectId id);

struct ObjectTable {
    int32_t objectSize;
    int32_t growthStep;
    int32_t capacity;
    ListNode* autoListHead;
    ObjectReleaseRoutine releaseRoutine;
    int32_t iterIndex;
    ListNode* iterNode;
    uint8_t* slots;
    HandleSet handles;  // AutoNumber handles handed out and not released
};

// Null when objectSize cannot hold the liveness word, growthStep < 1 or
// memory runs out.
ObjectTable* ObjectTableNew(int32_t objectSize, int32_t growthStep, ObjectReleaseRoutine releaseRoutine);

// Record for id (AutoNumber or a number >= 0), or null.
void* ObjectTableAllocate(ObjectTable* table, ObjectId id);

// The live object's record, or null.
void* ObjectTableLookup(ObjectTable* table, ObjectId id);

// The record for id, live or not: for a creation that fills its record in
// after a call that may grow the table and move the numbered slots. Null
// for a number past the slots or a handle not handed out.
void* ObjectTableSlot(ObjectTable* table, ObjectId id);

// Frees the registry's hold on one object; the release routine is not called.
void ObjectTableRelease(ObjectTable* table, ObjectId id);

// Calls the release routine once for every live object.
void ObjectTableReleaseAll(ObjectTable* table);

void ObjectTableIterateBegin(ObjectTable* table);
// Next live object's record (numbers ascending, then AutoNumber objects
// oldest first), writing its ObjectId to *id; null at the end.
void* ObjectTableIterateNext(ObjectTable* table, ObjectId* id);
