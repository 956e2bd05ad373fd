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
// is a valid index of work once it holds *grownSize records (growOnEntry: a larger count of the entry
// itself, else the array's size); nothing is changed for an entry, so that its own fields can be read
// before the array is touched. *open tells whether a list is being received: entries and the end of a list
// whose start was refused (or never came) are ignored, so a refused list is never handed over with the old
// entries.
template <typename T>
ListStep ReadListStep(FieldReader* reader, std::vector<T>* work, int maxCount, bool growOnEntry,
                      int32_t* index, int32_t* grownSize, bool* open) {
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
    *grownSize = static_cast<int32_t>(work->size());
    if (growOnEntry && second > *grownSize) {
        if (second > maxCount)
            return ListStep::Invalid;
        *grownSize = second;
    }
    if (*index < 0 || *index >= *grownSize)
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
    int32_t grownSize = 0;
    switch (ReadListStep(&reader, work, maxCount, growOnEntry, &index, &grownSize, open)) {
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
    // The entry is read into a copy first: one that does not convert leaves the list as it was.
    T entry;
    if (index < static_cast<int32_t>(work->size()))
        entry = (*work)[static_cast<size_t>(index)];
    else
        std::memset(&entry, 0, sizeof entry);
    if (!readEntry(&reader, &entry, index))
        return -1;
    if (grownSize > static_cast<int32_t>(work->size()) && !GrowAndZero(work, grownSize, maxCount))
        return -1;
    (*work)[static_cast<size_t>(index)] = entry;
    return 0;
}
