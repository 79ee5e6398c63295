// The doubly linked list with head and tail sentinels whose nodes are
// embedded in the records that they list. It never allocates or frees.
#include "framework/base/base_functions.h"

int ListInit(HandleListNode* head, HandleListNode* tail) {
    head->ID = -1;
    head->data = nullptr;
    head->previous = nullptr;
    head->next = tail;
    tail->ID = -1;
    tail->data = nullptr;
    tail->previous = head;
    tail->next = nullptr;
    return 0;
}

int ListAdd(HandleListNode* after, HandleListNode* node, int id, void* data) {
    node->ID = id;
    node->data = data;
    node->previous = after;
    node->next = after->next;
    after->next->previous = node;
    after->next = node;
    return 0;
}

int ListRemove(HandleListNode* node) {
    // The removed node keeps its own links.
    node->previous->next = node->next;
    node->next->previous = node->previous;
    return 0;
}
