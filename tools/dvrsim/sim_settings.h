#pragma once

// The settings a simulated DVR keeps and answers: system, network, user, disk and language parameters,
// and every kind of channel parameter. A set request changes what a later get returns; each get's reply
// carries the fields its set request sends.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/dvrsim/dvr_sim.h"

namespace dvrsim {

struct SimUserAccount {
    std::string name;
    std::string password;
    std::string description;
    uint32_t rights = 0;
    int32_t channelWords[24] = {};  // view, PTZ and record bitmaps, 8 little-endian groups each
};

class SimSettings {
public:
    explicit SimSettings(const SimConfig& config);

    // The reply messages (without the trailing space and terminator) of a settings request; fields[0] is
    // the id. False when the id is not a settings request.
    bool Answer(const std::vector<std::string>& fields, std::vector<std::string>* replies);
    // The account of a login, or null when none matches.
    const SimUserAccount* Login(const std::string& name, const std::string& password) const;
    // The next count replies of lists and channel parameters carry the fault.
    void SetFault(SimReplyFault fault, int count);

private:
    void AnswerList(int replyId, const std::vector<std::string>& entries, std::vector<std::string>* replies);
    void AnswerUser(const std::vector<std::string>& fields, std::vector<std::string>* replies);
    void SetUser(const std::vector<std::string>& fields);
    bool AnswerChannel(int id, const std::vector<std::string>& fields, std::vector<std::string>* replies);
    SimReplyFault TakeFault();

    int channelCount_;
    std::vector<std::string> system_;
    std::vector<std::string> network_;
    std::vector<SimUserAccount> users_;
    std::vector<std::string> disks_;
    std::vector<std::string> languages_;
    // Get request id -> per channel, the fields after the channel.
    std::map<int, std::vector<std::vector<std::string>>> channels_;
    std::map<int, std::vector<std::vector<std::string>>> defaults_;
    SimReplyFault fault_ = SIM_FAULT_NONE;
    int faultCount_ = 0;
};

// Shared with the simulator: a text field as DVRs send it (spaces as 0x08, "(NULL)" when empty) and a
// credential field (Base64 of the text with spaces as 0x08) in both directions.
std::string SimTextField(const std::string& text);
std::string SimEncodeCredential(const std::string& text);
std::string SimDecodeCredential(const std::string& field);
// Field i of a request as a number (0 when missing).
int SimFieldInt(const std::vector<std::string>& fields, size_t i);

}  // namespace dvrsim
