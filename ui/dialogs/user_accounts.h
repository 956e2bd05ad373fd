#pragma once

// The user page's rules on a DVR's accounts, without windows: choosing the slot of a new user, and what
// Set writes into an account from the page's panel.

#include <QString>
#include <cstdint>
#include <vector>

#include "dvr/dvr_records.h"

// Channel masks of an account: bit i % 8 of byte i / 8 stands for channel i (256 channels).
constexpr int USER_MASK_CHANNELS = 256;
bool MaskBit(const uint8_t (&mask)[32], int channel);
void SetMaskBit(uint8_t (&mask)[32], int channel, bool on);

enum class NewUserCheck { Ok, EmptyName, NameTaken, NoFreeSlot };

// The slot a new user called name gets: the first slot with an empty name. The name must not be empty and
// must differ (case counts) from every account's name.
NewUserCheck ChooseNewUserSlot(const std::vector<DVRUserAccount>* users, const QString& name, int* slot);

// What the panel of the user page shows for one account. Each channel list has one check state per row;
// row i stands for channel i.
struct UserPanel {
    QString name;
    QString password;
    QString description;
    uint32_t rights = 0;
    std::vector<bool> viewRows;
    std::vector<bool> ptzRows;
    std::vector<bool> recordRows;
};

// Writes the panel into account when anything differs: 0 written, -1 equal. Texts are cut to 255
// characters. Bits of channels 0 .. channelCount - 1 (at most 256) follow the rows; a channel without a
// row (the lists were built for a DVR with fewer channels) keeps its bit, and so do the channels past
// channelCount.
[[nodiscard]] int CollectUserAccount(const UserPanel& panel, int channelCount, DVRUserAccount& account);
