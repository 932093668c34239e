#include "runtime/core/list.h"

#include "runtime/core/heaps.h"

void* ListAdd(ListNode** head, size_t nodeSize)
{
    if (!ListHeap || nodeSize < sizeof(ListNode))
        return nullptr;
    auto* node = static_cast<ListNode*>(HeapAlloc(ListHeap, HEAP_ZERO_MEMORY, nodeSize));
    if (!node)
        return nullptr;
    if (*head) {
        (*head)->newer = node;
        node->older = *head;
    }
    *head = node;
    return ListPayload(node);
}

void ListRemove(ListNode** head, void* payload)
{
    ListNode* node = ListNodeOf(payload);
    if (node == *head) {
        *head = node->older;
        if (node->older)
            node->older->newer = nullptr;
    } else {
        if (node->newer)
            node->newer->older = node->older;
        if (node->older)
            node->older->newer = node->newer;
    }
    HeapFree(ListHeap, 0, node);
}
