#include "ui/dialogs/user_accounts.h"

#include <algorithm>
#include <cstring>

#include "dvr/device_list_node.h"

bool MaskBit(const uint8_t (&mask)[32], int channel) {
    if (channel < 0 || channel >= USER_MASK_CHANNELS)
        return false;
    return (mask[channel / 8] & (1u << (channel % 8))) != 0;
}

void SetMaskBit(uint8_t (&mask)[32], int channel, bool on) {
    if (channel < 0 || channel >= USER_MASK_CHANNELS)
        return;
    auto bit = static_cast<uint8_t>(1u << (channel % 8));
    uint8_t& byte = mask[channel / 8];
    byte = on ? static_cast<uint8_t>(byte | bit) : static_cast<uint8_t>(byte & ~bit);
}

NewUserCheck ChooseNewUserSlot(const std::vector<DVRUserAccount>* users, const QString& name, int* slot) {
    if (name.isEmpty())
        return NewUserCheck::EmptyName;
    if (users == nullptr)
        return NewUserCheck::NoFreeSlot;
    for (const DVRUserAccount& account : *users) {
        if (NodeText(account.name) == name)
            return NewUserCheck::NameTaken;
    }
    for (size_t i = 0; i < users->size(); ++i) {
        if ((*users)[i].name[0] == 0) {
            *slot = static_cast<int>(i);
            return NewUserCheck::Ok;
        }
    }
    return NewUserCheck::NoFreeSlot;
}

namespace {

void CollectMask(const std::vector<bool>& rows, int channels, uint8_t (&mask)[32]) {
    int n = std::min(channels, static_cast<int>(rows.size()));
    for (int i = 0; i < n; ++i)
        SetMaskBit(mask, i, rows[static_cast<size_t>(i)]);
}

}  // namespace

int CollectUserAccount(const UserPanel& panel, int channelCount, DVRUserAccount& account) {
    DVRUserAccount collected{};
    SetNodeText(collected.name, panel.name);
    SetNodeText(collected.password, panel.password);
    SetNodeText(collected.description, panel.description);
    collected.rights = panel.rights;
    std::memcpy(collected.viewChannels, account.viewChannels, sizeof collected.viewChannels);
    std::memcpy(collected.ptzChannels, account.ptzChannels, sizeof collected.ptzChannels);
    std::memcpy(collected.recordChannels, account.recordChannels, sizeof collected.recordChannels);
    const int channels = std::clamp(channelCount, 0, USER_MASK_CHANNELS);
    CollectMask(panel.viewRows, channels, collected.viewChannels);
    CollectMask(panel.ptzRows, channels, collected.ptzChannels);
    CollectMask(panel.recordRows, channels, collected.recordChannels);
    if (std::memcmp(collected.name, account.name, sizeof account.name) == 0 &&
        std::memcmp(collected.password, account.password, sizeof account.password) == 0 &&
        std::memcmp(collected.description, account.description, sizeof account.description) == 0 &&
        collected.rights == account.rights &&
        std::memcmp(collected.viewChannels, account.viewChannels, sizeof account.viewChannels) == 0 &&
        std::memcmp(collected.ptzChannels, account.ptzChannels, sizeof account.ptzChannels) == 0 &&
        std::memcmp(collected.recordChannels, account.recordChannels, sizeof account.recordChannels) == 0)
        return -1;
    account = collected;
    return 0;
}
