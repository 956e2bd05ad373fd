#pragma once

// The list convention of the replies that carry lists (users, disks, languages): a LIST_BEGIN message with
// the count, one message per entry (count, index, fields) and a LIST_END message. The working array grows
// to the largest count announced (never past its bound) and never shrinks; the parser publishes a copy of
// it at LIST_END (dvr/handed_list.h).

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "dvr/dvr_fields.h"
#include "dvr/dvr_protocol.h"
#include "dvr/handed_list.h"
#include "dvr/reply_notify.h"

enum class ListStep { Invalid, Begun, Entry, Ended };

// Grows work to count zeroed records when count is larger, then zeroes every record. False for a count
// outside 0..maxCount (nothing changes).
template <typename T>
bool GrowAndZero(std::vector<T>* work, int32_t count, int maxCount) {
    if (count < 0 || count > maxCount)
        return false;
    if (static_cast<size_t>(count) > work->size())
        work->resize(static_cast<size_t>(count));
    for (T& record : *work)
        std::memset(&record, 0, sizeof record);
    return true;
}

// Reads the list marker of a message whose id was read already. Begun: the array is prepared. Entry: *index
// is a valid index of work; growOnEntry: a larger count of the entry itself first grows and zeroes the array.
// *open tells whether a list is being received: entries and the end of a list whose start was refused (or
// never came) are ignored, so a refused list is never handed over with the old entries.
template <typename T>
ListStep ReadListStep(FieldReader* reader, std::vector<T>* work, int maxCount, bool growOnEntry,
                      int32_t* index, bool* open) {
    int32_t second = 0;
    if (!reader->Int(&second))
        return ListStep::Invalid;
    if (second == LIST_BEGIN) {
        int32_t count = 0;
        *open = reader->Int(&count) && GrowAndZero(work, count, maxCount);
        return *open ? ListStep::Begun : ListStep::Invalid;
    }
    if (!*open)
        return ListStep::Invalid;
    if (second == LIST_END) {
        *open = false;
        return ListStep::Ended;
    }
    if (!reader->Int(index))
        return ListStep::Invalid;
    if (growOnEntry && second > static_cast<int32_t>(work->size()) && !GrowAndZero(work, second, maxCount))
        return ListStep::Invalid;
    if (*index < 0 || *index >= static_cast<int32_t>(work->size()))
        return ListStep::Invalid;
    return ListStep::Entry;
}

// Publishes a copy of the working array.
template <typename T>
void PublishCopy(HandedList<T>* handed, const std::vector<T>& work) {
    handed->Publish(std::make_shared<std::vector<T>>(work));
}

// One message of a list reply (users, disks, languages) under the lists' build lock: the markers prepare
// the working array and, at LIST_END, publish it and post replyType; an entry's own fields are read by
// readEntry(reader, record, index), which returns false when they do not convert.
template <typename T, typename EntryReader>
int ParseListMessage(const char* text, int length, DeviceLists* lists, std::vector<T>* work, bool* open,
                     HandedList<T>* handed, int maxCount, bool growOnEntry, int replyType,
                     EntryReader readEntry) {
    FieldReader reader(text, length);
    int32_t id = 0;
    int32_t index = 0;
    if (!reader.Int(&id))
        return -1;
    std::lock_guard<std::mutex> guard(lists->buildLock);
    switch (ReadListStep(&reader, work, maxCount, growOnEntry, &index, open)) {
        case ListStep::Invalid:
            return -1;
        case ListStep::Begun:
            return 0;
        case ListStep::Ended:
            PublishCopy(handed, *work);
            PostSetupReply(replyType, 0);
            return 0;
        case ListStep::Entry:
            break;
    }
    return readEntry(&reader, &(*work)[static_cast<size_t>(index)], index) ? 0 : -1;
}
