// Doubly linked lists whose nodes live on the ListHeap.
#pragma once

#include <cstddef>

struct ListNode {
    ListNode* older;  // added just before this one; null for the oldest
    ListNode* newer;  // added just after this one; null for the newest
    // the user's payload follows
};

// A list is named by its head: the newest node, or null when empty.
// nodeSize counts the two links and the payload. Returns the zero-filled
// payload, or null (list unchanged) when no node can be had.
void* ListAdd(ListNode** head, size_t nodeSize);

// Unlinks the node holding payload and frees it.
void ListRemove(ListNode** head, void* payload);

inline ListNode* ListNodeOf(void* payload)
{
    return reinterpret_cast<ListNode*>(payload) - 1;
}

inline void* ListPayload(ListNode* node)
{
    return node + 1;
}
