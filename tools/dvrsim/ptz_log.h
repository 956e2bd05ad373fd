#pragma once

// One line describing a camera-control request (PTZ command, auto-scan switch, auto-scan tour), so that
// someone trying the client can see on dvrsim's output what the PTZ panel and the camera page sent.

#include <string>
#include <vector>

namespace dvrsim {

// The request's fields (its id first) described in one line; empty for any other request.
std::string DescribeCameraControl(const std::vector<std::string>& fields);

}  // namespace dvrsim
