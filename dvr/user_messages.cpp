// The user accounts of a DVR: the user list, one user's two parts, and the set request.

#include <cstring>
#include <mutex>

#include "core/window_messages.h"
#include "dvr/device_requests.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_fields.h"
#include "dvr/dvr_messages.h"
#include "dvr/dvr_parsers.h"
#include "dvr/dvr_protocol.h"
#include "dvr/list_replies.h"
#include "dvr/reply_notify.h"

namespace {

constexpr int kUserIndexLimit = 32;
constexpr int kBitmapWords = 8;  // 32 bytes of a channel bitmap as eight 32-bit groups

// Four bytes of a bitmap as one little-endian 32-bit value (the lowest channel in the low byte).
int32_t BitmapWord(const uint8_t* bitmap, int word) {
    const uint8_t* b = bitmap + word * 4;
    return static_cast<int32_t>(uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 |
                                uint32_t{b[3]} << 24);
}

void StoreBitmapWord(uint8_t* bitmap, int word, int32_t value) {
    for (int i = 0; i < 4; ++i)
        bitmap[word * 4 + i] = static_cast<uint8_t>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
}

// The bitmaps in their order on the wire: view, PTZ, record.
uint8_t* WireBitmap(DVRUserAccount& account, int group) {
    return group == 0 ? account.viewChannels : group == 1 ? account.ptzChannels : account.recordChannels;
}

}  // namespace

int SendGetUserList(DVRDevice* device) {
    return SendIdRequest(device, DVR_REQ_GET_USER_LIST);
}

int SendGetUserParams(DVRDevice* device, int index, int part) {
    if (device == nullptr)
        return -1;
    return SendFormatted(device, device->commandSocket, "%d %d %d %s", DVR_REQ_GET_USER, index, part,
                         MESSAGE_TERMINATOR);
}

int SendSetUserParams(DVRDevice* device, int part, int index) {
    if (device == nullptr || (part != 0 && part != 1))
        return -1;
    std::shared_ptr<std::vector<DVRUserAccount>> users = device->lists.users.Current();
    if (users == nullptr || index < 0 || index >= static_cast<int>(users->size()))
        return -1;
    DVRUserAccount& account = (*users)[static_cast<size_t>(index)];
    if (part == 0) {
        char name[TEXT_FIELD_SIZE];
        char password[TEXT_FIELD_SIZE];
        char description[TEXT_FIELD_SIZE];
        if (EncodeCredentialField(account.name, name, sizeof name) != 0 ||
            EncodeCredentialField(account.password, password, sizeof password) != 0)
            return -1;
        EncodeTextField(account.description, description, sizeof description);
        return SendFormatted(device, device->commandSocket, "%d %d %d %s %s %s %d %s", DVR_REQ_SET_USER,
                             index, 0, name, password, description, static_cast<int32_t>(account.rights),
                             MESSAGE_TERMINATOR);
    }
    char buffer[REQUEST_BUFFER_SIZE];
    int used = std::snprintf(buffer, sizeof buffer, "%d %d %d", DVR_REQ_SET_USER, index, 1);
    for (int group = 0; group < 3; ++group) {
        for (int word = 0; word < kBitmapWords; ++word)
            used += std::snprintf(buffer + used, sizeof buffer - static_cast<size_t>(used), " %d",
                                  BitmapWord(WireBitmap(account, group), word));
    }
    return SendFormatted(device, device->commandSocket, "%s %s", buffer, MESSAGE_TERMINATOR);
}

int ParseUserList(const char* text, int length, DVRDevice* device, HWND) {
    DeviceLists& lists = device->lists;
    return ParseListMessage(text, length, &lists, &lists.userWork, &lists.userListOpen, &lists.users,
                            MAX_LIST_USERS, false, SETUP_REPLY_USER_LIST,
                            [](FieldReader* reader, DVRUserAccount* account, int32_t) {
                                char name[TEXT_FIELD_SIZE];
                                if (!reader->Token(name, sizeof name))
                                    return false;
                                DecodeCredentialField(name, account->name, 256);
                                return true;
                            });
}

int ParseUserParams(const char* text, int length, DVRDevice* device, HWND) {
    FieldReader reader(text, length);
    int32_t id = 0;
    int32_t index = 0;
    int32_t part = 0;
    if (!reader.Int(&id) || !reader.Int(&index) || !reader.Int(&part))
        return -1;
    if (static_cast<uint32_t>(index) >= static_cast<uint32_t>(kUserIndexLimit))
        return -1;
    DeviceLists& lists = device->lists;
    std::lock_guard<std::mutex> guard(lists.buildLock);
    if (part == 0 || part == 1) {
        if (index >= static_cast<int32_t>(lists.userWork.size()))
            return -1;
        DVRUserAccount& account = lists.userWork[static_cast<size_t>(index)];
        if (part == 0) {
            char name[TEXT_FIELD_SIZE];
            char password[TEXT_FIELD_SIZE];
            char description[TEXT_FIELD_SIZE];
            int32_t rights = 0;
            if (!reader.Token(name, sizeof name) || !reader.Token(password, sizeof password) ||
                !reader.Token(description, sizeof description) || !reader.Int(&rights))
                return -1;
            DecodeCredentialField(name, account.name, 256);
            DecodeCredentialField(password, account.password, 256);
            DecodeTextField(description, account.description, 256);
            account.rights = static_cast<uint32_t>(rights);
        } else {
            int32_t words[3 * kBitmapWords];
            for (int32_t& word : words) {
                if (!reader.Int(&word))
                    return -1;
            }
            for (int group = 0; group < 3; ++group) {
                for (int word = 0; word < kBitmapWords; ++word)
                    StoreBitmapWord(WireBitmap(account, group), word, words[group * kBitmapWords + word]);
            }
        }
        PublishCopy(&lists.users, lists.userWork);
    }
    PostSetupReply(SETUP_REPLY_USER, index);
    return 0;
}
