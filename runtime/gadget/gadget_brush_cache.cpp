#include "runtime/gadget/gadget_brush_cache.h"

#include "runtime/gadget/gadget_registry.h"

ListNode* GadgetBrushCache = nullptr;

namespace {

constexpr size_t EntryNodeSize = sizeof(ListNode) + sizeof(GadgetBrushEntry);

GadgetBrushEntry* Entry(ListNode* node)
{
    return static_cast<GadgetBrushEntry*>(ListPayload(node));
}

}  // namespace

HBRUSH GadgetBrushAcquire(COLORREF colour)
{
    EnterCriticalSection(&GadgetBrushCacheLock);
    for (ListNode* node = GadgetBrushCache; node; node = node->older) {
        GadgetBrushEntry* entry = Entry(node);
        if (entry->colour == colour && entry->brush) {
            ++entry->references;
            LeaveCriticalSection(&GadgetBrushCacheLock);
            return entry->brush;
        }
    }
    HBRUSH brush = nullptr;
    if (auto* entry = static_cast<GadgetBrushEntry*>(ListAdd(&GadgetBrushCache, EntryNodeSize))) {
        entry->colour = colour;
        entry->brush = CreateSolidBrush(colour);
        entry->references = 1;
        brush = entry->brush;
        // Nobody could ever release an entry without a brush.
        if (!brush)
            ListRemove(&GadgetBrushCache, entry);
    }
    LeaveCriticalSection(&GadgetBrushCacheLock);
    return brush;
}

void GadgetBrushRelease(HBRUSH brush)
{
    if (!brush)
        return;
    EnterCriticalSection(&GadgetBrushCacheLock);
    for (ListNode* node = GadgetBrushCache; node; node = node->older) {
        GadgetBrushEntry* entry = Entry(node);
        if (entry->brush != brush)
            continue;
        if (--entry->references == 0) {
            DeleteObject(brush);
            ListRemove(&GadgetBrushCache, entry);
        }
        break;
    }
    LeaveCriticalSection(&GadgetBrushCacheLock);
}
