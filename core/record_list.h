#pragma once

// Singly linked lists of records (a head, a count, records chained by `next`), as the client's disk and
// language lists and a DVR's lists are kept.

template <typename List, typename Record>
void AppendRecord(List* list, Record** tail, Record* record) {
    if (*tail != nullptr) {
        (*tail)->next = record;
    } else {
        list->head = record;
    }
    *tail = record;
    ++list->count;
}

template <typename List>
void FreeRecordList(List* list) {
    auto* record = list->head;
    while (record != nullptr) {
        auto* next = record->next;
        delete record;
        record = next;
    }
    list->head = nullptr;
    list->count = 0;
}
