#include "ui/view_file.h"

#include <QFile>
#include <QSaveFile>

#include "dvr/dvr_protocol.h"
#include "platform/system/file_modes.h"

namespace {

int32_t ReadInt32(const char* p) {
    auto b = [p](int i) { return static_cast<uint32_t>(static_cast<unsigned char>(p[i])); };
    return static_cast<int32_t>(b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24);
}

void AppendInt32(QByteArray& out, int32_t value) {
    auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

bool Valid(const ViewEntry& e) {
    return e.deviceId >= 0 && e.channel >= 0 && e.channel < MAX_LIST_CHANNELS;
}

bool ShownBefore(const ViewEntry (&views)[GRID_SCREENS], int screen, const ViewEntry& e) {
    for (int i = 0; i < screen; ++i) {
        if (views[i].deviceId == e.deviceId && views[i].channel == e.channel)
            return true;
    }
    return false;
}

}  // namespace

void ClearViews(ViewEntry (&views)[GRID_SCREENS]) {
    for (ViewEntry& e : views)
        e = ViewEntry{-1, -1};
}

int LoadViewFile(const QString& path, ViewEntry (&views)[GRID_SCREENS]) {
    ClearViews(views);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    // Anything past the 64 records is ignored, so a longer file cannot make the read unbounded.
    QByteArray bytes = file.read(VIEW_FILE_SIZE);
    if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xFE)
        return -1;
    int taken = 0;
    int records = static_cast<int>((bytes.size() - 2) / static_cast<int>(sizeof(ViewEntry)));
    for (int i = 0; i < records && i < GRID_SCREENS; ++i) {
        const char* p = bytes.constData() + 2 + i * static_cast<int>(sizeof(ViewEntry));
        ViewEntry e{ReadInt32(p), ReadInt32(p + 4)};
        if (!Valid(e) || ShownBefore(views, i, e))
            continue;
        views[i] = e;
        ++taken;
    }
    return taken;
}

int SaveViewFile(const QString& path, const ViewEntry (&views)[GRID_SCREENS]) {
    QByteArray bytes;
    bytes.reserve(VIEW_FILE_SIZE);
    bytes.append(static_cast<char>(VIEW_FILE_BOM & 0xFF));
    bytes.append(static_cast<char>(VIEW_FILE_BOM >> 8));
    for (const ViewEntry& e : views) {
        AppendInt32(bytes, e.deviceId);
        AppendInt32(bytes, e.channel);
    }
    QSaveFile file(path);
    if (!OpenSaveFile(&file, FILE_MODE_SHARED))
        return -1;
    if (file.write(bytes) != bytes.size())
        return -1;
    return file.commit() ? 0 : -1;
}
