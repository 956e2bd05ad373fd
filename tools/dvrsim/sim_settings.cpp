#include "tools/dvrsim/sim_settings.h"

#include <cstdlib>

#include "core/base64.h"

namespace dvrsim {

namespace {

constexpr int kListBegin = 240;
constexpr int kListEnd = 255;
constexpr int kHugeCount = 100000;

// Get request id -> reply id, and the request ids of this module.
constexpr int kGetSystem = 0x1000E;
constexpr int kSetSystem = 0x1000F;
constexpr int kGetUserList = 0x10010;
constexpr int kGetUser = 0x10011;
constexpr int kSetUser = 0x10012;
constexpr int kGetNetwork = 0x10027;
constexpr int kSetNetwork = 0x10028;
constexpr int kGetDisks = 0x10029;
constexpr int kGetLanguages = 0x1002A;
constexpr int kRestoreColor = 0x10030;
constexpr int kGetColor = 0x10015;
constexpr int kGetSubStream = 0x10031;
constexpr int kSetSubStream = 0x10032;

int ReplyId(int requestId) {
    return requestId + 0x10000;
}

std::string Join(const std::vector<std::string>& tokens, size_t from = 0) {
    std::string out;
    for (size_t i = from; i < tokens.size(); ++i) {
        if (!out.empty())
            out += ' ';
        out += tokens[i];
    }
    return out;
}

std::vector<std::string> Tokens(std::initializer_list<long long> numbers) {
    std::vector<std::string> out;
    for (long long n : numbers)
        out.push_back(std::to_string(n));
    return out;
}

// The default settings of a channel kind (the get request's id) for channel c.
std::vector<std::string> ChannelDefault(int getId, int c, const std::string& name) {
    switch (getId) {
        case 0x10013: {  // overlay: name, title overlay, time overlay
            std::vector<std::string> out{SimTextField(name)};
            for (const char* corner : {"0", "3"}) {
                for (const std::string& t : {std::string("1"), std::string(corner), std::string("8"),
                                             std::string("8"), std::string("16777215"), std::string("3"),
                                             std::string("2"), std::string("1"), std::string("Sans")})
                    out.push_back(t);
            }
            return out;
        }
        case 0x10015:
            return Tokens({64, 64, 64, 64});
        case 0x10017:
            return Tokens({8, 0, 0, 0, 0, 0, 0, 0, 0});
        case 0x10019: {
            std::vector<std::string> out = Tokens({1, 1, c + 1});
            out.push_back("COM1");
            for (const std::string& t : Tokens({9600, 8, 0, 1, 5}))
                out.push_back(t);
            return out;
        }
        case 0x1001B: {
            std::vector<std::string> out{"32"};
            for (int i = 0; i < 32; ++i) {
                out.push_back(i < 2 ? "1" : "0");
                out.push_back(i < 2 ? "10" : "0");
            }
            return out;
        }
        case 0x1001D:
            return Tokens({1, 2, 2500});
        case 0x1001F:
            return Tokens({8000, 16, 2, 1});
        case 0x10021: {
            // Entry 0: enabled, continuous, every day, 00:00 - 23:59.
            int32_t word = static_cast<int32_t>(0x80000000u | 1u << 28 | 1u << 24 | 2359u);
            return Tokens({8, word, 0, 0, 0, 0, 0, 0, 0});
        }
        case 0x10023:
            return Tokens({2, 9});
        case 0x10025:
            return Tokens({8, 255, 255, 255, 255, 255, 255, 255, 255});
        case kGetSubStream:
            return Tokens({0, 3, 500});
        default:
            return {};
    }
}

bool IsChannelGet(int id) {
    return (id >= 0x10013 && id <= 0x10025 && (id & 1) == 1) || id == kGetSubStream;
}

}  // namespace

int SimFieldInt(const std::vector<std::string>& fields, size_t i) {
    return i < fields.size() ? std::atoi(fields[i].c_str()) : 0;
}

std::string SimTextField(const std::string& text) {
    if (text.empty())
        return "(NULL)";
    std::string out = text;
    for (char& c : out) {
        if (c == ' ')
            c = 0x08;
    }
    return out;
}

std::string SimEncodeCredential(const std::string& text) {
    if (text.empty())
        return "(NULL)";
    std::string bytes = text;
    for (char& c : bytes) {
        if (c == ' ')
            c = 0x08;
    }
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    Base64Encode(out.size(), bytes.size(), out.data(), reinterpret_cast<const unsigned char*>(bytes.data()));
    out.resize(out.size() - 1);
    return out;
}

std::string SimDecodeCredential(const std::string& field) {
    if (field == "(NULL)")
        return std::string();
    std::string out(field.size(), '\0');
    size_t size = out.size();
    Base64Decode(reinterpret_cast<const unsigned char*>(field.data()), field.size(),
                 reinterpret_cast<unsigned char*>(out.data()), &size);
    out.resize(size);
    for (char& c : out) {
        if (c == 0x08)
            c = ' ';
    }
    return out;
}

SimSettings::SimSettings(const SimConfig& config) : channelCount_(static_cast<int>(config.channels.size())) {
    system_ = {"C", SimTextField("Record Files"), SimTextField("/snapshots"), "1", "1", "0", "5", "0", "1",
               "0"};
    network_ = {"dvr-sim", "80", "9000", "(NULL)", "0", "0", "(NULL)", "(NULL)"};
    for (const SimUser& user : config.users) {
        SimUserAccount account;
        account.name = user.name;
        account.password = user.password;
        account.rights = user.rights;
        for (int w = 0; w < 24; ++w)
            account.channelWords[w] = (w % 8) == 0 ? -1 : 0;  // channels 0-31 of each bitmap
        users_.push_back(account);
    }
    disks_ = {"C " + SimTextField("465 GB") + " 57 " + SimTextField("200 GB"),
              "D " + SimTextField("931 GB") + " 10 " + SimTextField("838 GB")};
    languages_ = {"English", SimTextField("Simplified Chinese")};
    for (int id = 0x10013; id <= 0x10025; id += 2) {
        for (int c = 0; c < channelCount_; ++c)
            defaults_[id].push_back(ChannelDefault(id, c, config.channels[c].name));
    }
    for (int c = 0; c < channelCount_; ++c)
        defaults_[kGetSubStream].push_back(ChannelDefault(kGetSubStream, c, config.channels[c].name));
    channels_ = defaults_;
}

const SimUserAccount* SimSettings::Login(const std::string& name, const std::string& password) const {
    for (const SimUserAccount& account : users_) {
        if (account.name == name && account.password == password)
            return &account;
    }
    return nullptr;
}

void SimSettings::SetFault(SimReplyFault fault, int count) {
    fault_ = fault;
    faultCount_ = count;
}

SimReplyFault SimSettings::TakeFault() {
    if (faultCount_ <= 0)
        return SIM_FAULT_NONE;
    --faultCount_;
    return fault_;
}

void SimSettings::AnswerList(int replyId, const std::vector<std::string>& entries,
                             std::vector<std::string>* replies) {
    SimReplyFault fault = TakeFault();
    std::string head = std::to_string(replyId) + " ";
    int count = static_cast<int>(entries.size());
    replies->push_back(head + std::to_string(kListBegin) + " " +
                       std::to_string(fault == SIM_FAULT_COUNT_OUT_OF_RANGE ? kHugeCount : count));
    int sent = fault == SIM_FAULT_TRUNCATED_LIST && count > 0 ? count - 1 : count;
    for (int i = 0; i < sent; ++i)
        replies->push_back(head + std::to_string(count) + " " + std::to_string(i) + " " + entries[i]);
    if (fault != SIM_FAULT_TRUNCATED_LIST)
        replies->push_back(head + std::to_string(kListEnd));
}

void SimSettings::AnswerUser(const std::vector<std::string>& fields, std::vector<std::string>* replies) {
    int index = SimFieldInt(fields, 1);
    int part = SimFieldInt(fields, 2);
    if (index < 0 || index >= static_cast<int>(users_.size()))
        return;
    const SimUserAccount& account = users_[index];
    std::string head = std::to_string(ReplyId(kGetUser)) + " " + std::to_string(index) + " ";
    if (part == 0) {
        replies->push_back(head + "0 " + SimEncodeCredential(account.name) + " " +
                           SimEncodeCredential(account.password) + " " + SimTextField(account.description) +
                           " " + std::to_string(static_cast<int32_t>(account.rights)));
    } else if (part == 1) {
        std::string words;
        for (int32_t word : account.channelWords)
            words += " " + std::to_string(word);
        replies->push_back(head + "1" + words);
    }
}

void SimSettings::SetUser(const std::vector<std::string>& fields) {
    int index = SimFieldInt(fields, 1);
    int part = SimFieldInt(fields, 2);
    if (index < 0 || index >= static_cast<int>(users_.size()))
        return;
    SimUserAccount& account = users_[index];
    if (part == 0 && fields.size() >= 7) {
        account.name = SimDecodeCredential(fields[3]);
        account.password = SimDecodeCredential(fields[4]);
        std::string description = fields[5] == "(NULL)" ? std::string() : fields[5];
        for (char& c : description) {
            if (c == 0x08)
                c = ' ';
        }
        account.description = description;
        account.rights = static_cast<uint32_t>(SimFieldInt(fields, 6));
    } else if (part == 1 && fields.size() >= 27) {
        for (int w = 0; w < 24; ++w)
            account.channelWords[w] = SimFieldInt(fields, 3 + static_cast<size_t>(w));
    }
}

bool SimSettings::AnswerChannel(int id, const std::vector<std::string>& fields,
                                std::vector<std::string>* replies) {
    int channel = SimFieldInt(fields, 1);
    bool set = id == kSetSubStream || (id >= 0x10014 && id <= 0x10026 && (id & 1) == 0);
    int getId = set ? id - 1 : id;
    if (id == kRestoreColor)
        getId = kGetColor;
    if (id != kRestoreColor && !set && !IsChannelGet(id))
        return false;
    if (channel < 0 || channel >= channelCount_)
        return true;
    std::vector<std::string>& stored = channels_[getId][channel];
    if (id == kRestoreColor) {
        stored = defaults_[getId][channel];
    } else if (set) {
        // A set request carries exactly the fields of the reply; any other shape is ignored.
        std::vector<std::string> values(fields.begin() + 2, fields.end());
        if (values.size() == stored.size())
            stored = values;
    } else {
        SimReplyFault fault = TakeFault();
        std::vector<std::string> values = stored;
        bool inlineList = getId == 0x10017 || getId == 0x10025 || getId == 0x10021 || getId == 0x1001B;
        if (inlineList && fault == SIM_FAULT_COUNT_OUT_OF_RANGE)
            values[0] = std::to_string(kHugeCount);
        if (inlineList && fault == SIM_FAULT_TRUNCATED_LIST)
            values.resize(1 + (values.size() - 1) / 2);
        int named = fault == SIM_FAULT_OTHER_CHANNEL ? channel + channelCount_ : channel;
        replies->push_back(std::to_string(ReplyId(getId)) + " " + std::to_string(named) + " " + Join(values));
    }
    return true;
}

bool SimSettings::Answer(const std::vector<std::string>& fields, std::vector<std::string>* replies) {
    int id = SimFieldInt(fields, 0);
    switch (id) {
        case kGetSystem:
            replies->push_back(std::to_string(ReplyId(kGetSystem)) + " " + Join(system_));
            return true;
        case kSetSystem:
            if (fields.size() >= 11)
                system_.assign(fields.begin() + 1, fields.begin() + 11);
            return true;
        case kGetNetwork:
            replies->push_back(std::to_string(ReplyId(kGetNetwork)) + " " + Join(network_));
            return true;
        case kSetNetwork:
            if (fields.size() >= 9)
                network_.assign(fields.begin() + 1, fields.begin() + 9);
            return true;
        case kGetUserList: {
            std::vector<std::string> names;
            for (const SimUserAccount& account : users_)
                names.push_back(SimEncodeCredential(account.name));
            AnswerList(ReplyId(kGetUserList), names, replies);
            return true;
        }
        case kGetUser:
            AnswerUser(fields, replies);
            return true;
        case kSetUser:
            SetUser(fields);
            return true;
        case kGetDisks:
            AnswerList(ReplyId(kGetDisks), disks_, replies);
            return true;
        case kGetLanguages:
            AnswerList(ReplyId(kGetLanguages), languages_, replies);
            return true;
        default:
            return AnswerChannel(id, fields, replies);
    }
}

}  // namespace dvrsim
