#pragma once

// Helpers of the tests that check tree files byte for byte: records built by hand, the bytes of a whole
// file, environment settings that are restored afterwards and a free local UDP port.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <vector>

#include "core/base64.h"
#include "dvr/device_list_node.h"
#include "dvr/device_tree_node.h"
#include "tests/scoped_env.h"

// A DVR record as the client writes it: user and password hold Base64 text (the default user "admin").
inline DeviceTreeNode DvrRecord(int id, const QString& name, const QString& host, int port,
                                const QString& user = QStringLiteral("admin"),
                                const QString& password = QString()) {
    DeviceTreeNode node{};
    node.type = NODE_DVR;
    node.id = id;
    node.port = port;
    SetNodeText(node.name, name);
    SetNodeText(node.host, host);
    SetNodeText(node.user, user.isEmpty() ? QString() : WideToBase64(user));
    SetNodeText(node.password, password.isEmpty() ? QString() : WideToBase64(password));
    return node;
}

inline DeviceTreeNode AreaRecord(int id, const QString& name) {
    DeviceTreeNode node{};
    node.type = NODE_AREA;
    node.id = id;
    SetNodeText(node.name, name);
    return node;
}

// FF FE and the records.
inline QByteArray TreeFileBytes(const std::vector<DeviceTreeNode>& records) {
    QByteArray bytes("\xFF\xFE", 2);
    for (const DeviceTreeNode& record : records)
        bytes.append(reinterpret_cast<const char*>(&record), sizeof record);
    return bytes;
}

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A UDP port that was free a moment ago.
inline int FreeUdpPort() {
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = -1;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}
