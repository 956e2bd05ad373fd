// Fuzz target: view.dat as stored, read into the 64 screens' entries. Checks: the file is taken only with
// its FF FE mark; no more entries than whole records are taken, each naming a DVR id of 0 or more and a
// channel a DVR can have, never one channel on two screens; the count returned is the entries taken; and
// what was read, saved and read again is the same.

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "dvr/dvr_protocol.h"
#include "fuzz/fuzz_inputs.h"
#include "tests/dvr/fuzz/fuzz_target.h"
#include "ui/view_file.h"

// Named in the report of a broken property.
constexpr char kTarget[] = "view.dat";

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("view.dat"));
    static const QString again = dir.filePath(QStringLiteral("again.dat"));
    WriteInputFile(path, std::string(reinterpret_cast<const char*>(data), size));
    ViewEntry views[GRID_SCREENS];
    const int taken = LoadViewFile(path, views);
    const bool marked = size >= 2 && data[0] == 0xFF && data[1] == 0xFE;
    if ((taken < 0) == marked)
        FailProperty(kTarget, "taken exactly when marked");
    const int records = marked ? static_cast<int>((size - 2) / sizeof(ViewEntry)) : 0;
    int shown = 0;
    for (int i = 0; i < GRID_SCREENS; ++i) {
        const ViewEntry& e = views[i];
        if (e.deviceId == -1 && e.channel == -1)
            continue;
        ++shown;
        if (i >= records || e.deviceId < 0 || e.channel < 0 || e.channel >= MAX_LIST_CHANNELS)
            FailProperty(kTarget, "an entry is a whole record naming a DVR and a channel it can have");
        for (int j = 0; j < i; ++j) {
            if (views[j].deviceId == e.deviceId && views[j].channel == e.channel)
                FailProperty(kTarget, "one channel on one screen");
        }
    }
    if (taken >= 0 && taken != shown)
        FailProperty(kTarget, "the count is the entries taken");
    if (SaveViewFile(again, views) != 0)
        FailProperty(kTarget, "the views are saved");
    ViewEntry reread[GRID_SCREENS];
    if (LoadViewFile(again, reread) != shown)
        FailProperty(kTarget, "the saved file reads back");
    for (int i = 0; i < GRID_SCREENS; ++i) {
        if (reread[i].deviceId != views[i].deviceId || reread[i].channel != views[i].channel)
            FailProperty(kTarget, "the saved file reads back the same");
    }
    return 0;
}
