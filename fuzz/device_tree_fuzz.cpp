// Fuzz target: a device tree file as stored, read into records with their credentials decoded.
// Checks: the file is taken only with its FF FE mark, every whole record is read, every text field ends
// inside its field, and a decoded credential survives another encode and decode unchanged.

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

#include "core/base64.h"
#include "dvr/device_tree.h"
#include "platform/system/codepage.h"
#include "tests/dvr/fuzz/fuzz_target.h"

namespace {

template <size_t N>
QString FieldText(const char16_t (&field)[N]) {
    size_t n = 0;
    while (n < N && field[n] != 0)
        ++n;
    if (n == N)
        std::abort();  // the field runs past its end
    return QString::fromUtf16(field, static_cast<qsizetype>(n));
}

void CheckCredential(const QString& decoded) {
    // Only text the code page holds comes back: a field the decoder refused keeps its stored characters.
    if (decoded.isEmpty() || AnsiToWide(WideToAnsi(decoded)) != decoded)
        return;
    QString again;
    if (!Base64ToWide(WideToBase64(decoded), &again) || again != decoded)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    static const QString path = DeviceTreeFilePath(dir.path() + QLatin1Char('/'), true);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    std::vector<DeviceTreeNode> records;
    bool marked = size >= 2 && data[0] == 0xFF && data[1] == 0xFE;
    int rc = ReadDeviceTreeFile(path, &records);
    if (rc != (marked ? 0 : -1))
        std::abort();
    if (marked && records.size() != (size - 2) / sizeof(DeviceTreeNode))
        std::abort();
    for (DeviceTreeNode& record : records) {
        FieldText(record.name);
        FieldText(record.host);
        FieldText(record.altHost);
        DecodeTreeCredentials(&record);
        CheckCredential(FieldText(record.user));
        CheckCredential(FieldText(record.password));
    }
    return 0;
}
