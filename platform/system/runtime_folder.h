#pragma once

#include <QString>

// The user's private folder for the programs' lock files and local sockets: $XDG_RUNTIME_DIR/vistal when
// that is writable, else /tmp/vistal-<uid>. It is made with mode 0700 and used only when it is a folder
// (not a link) of this user with mode 0700; "" otherwise, with *refusal (when given) saying why in one
// line.
QString UserRuntimeFolder(QString* refusal = nullptr);
