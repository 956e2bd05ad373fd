#pragma once

// The fields of one device tree record as the area and DVR dialogs take them: every field is checked
// before any is written, so a refused entry leaves the record as it was, and each stored form fits its
// field (a name of 255 characters, a host of 63, a user and a password whose Base64 text fits 255
// characters, that is at most 189 bytes in the code page). User and password follow the setup pages' rule
// for credentials: one with a character the code page lacks is refused, since it would be stored and sent
// as '?'.

#include <QString>

#include "dvr/device_tree_node.h"

constexpr int NODE_NAME_MAX_CHARS = 255;
constexpr int NODE_HOST_MAX_CHARS = 63;
constexpr int NODE_CREDENTIAL_MAX_BYTES = 189;
constexpr int DEFAULT_DVR_PORT = 8000;

// What the operator typed.
struct NodeFieldEntry {
    QString name;
    QString host;
    QString port;
    QString user;
    QString password;
};

// The first faulty field in dialog order, or NODE_FIELDS_OK.
enum NodeFieldFault : int {
    NODE_FIELDS_OK = 0,
    NODE_FIELD_NAME_EMPTY = 1,
    NODE_FIELD_NAME_TOO_LONG = 2,
    NODE_FIELD_HOST_EMPTY = 3,
    NODE_FIELD_HOST_TOO_LONG = 4,
    NODE_FIELD_USER_TOO_LONG = 5,
    NODE_FIELD_PASSWORD_TOO_LONG = 6,
    NODE_FIELD_USER_NOT_IN_CODE_PAGE = 7,
    NODE_FIELD_PASSWORD_NOT_IN_CODE_PAGE = 8,
};

// An area has only its name; a DVR (isDvr) also host, port, user and password.
[[nodiscard]] int CheckNodeFields(const NodeFieldEntry& entry, bool isDvr);

// The port field's leading decimal number when it is 1 or more, else DEFAULT_DVR_PORT.
int ParseNodePort(const QString& text);

// Writes a checked entry into the record (CheckNodeFields gave NODE_FIELDS_OK): the name, and for a DVR the
// host, the port and the plain user and password.
void ApplyNodeFields(const NodeFieldEntry& entry, bool isDvr, DeviceTreeNode* node);
