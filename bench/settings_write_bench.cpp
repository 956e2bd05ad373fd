// Settings writes on big files: the start-up upgrade of a system.ini of several megabytes (one write of
// the file), and one key written into files of growing size (time linear in the size).

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/tarvik_app.h"
#include "platform/system/profile.h"

namespace {

// A system.ini of about `bytes` bytes in UTF-16: the SYSTEM section of an old version, then filler
// sections of plain keys.
QByteArray BigSystemIni(int64_t bytes) {
    QString text =
        QStringLiteral("[SYSTEM]\r\nVersion=0.0.1\r\nRecordDir=Records\r\n\r\n[USER]\r\nName=\r\n");
    for (int section = 0; text.size() * 2 < bytes; ++section) {
        text += QStringLiteral("[FILLER%1]\r\n").arg(section);
        for (int key = 0; key < 100; ++key)
            text += QStringLiteral("Key%1=some stored value %2\r\n").arg(key).arg(section);
    }
    QByteArray out("\xFF\xFE", 2);
    out.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return out;
}

void Put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

void StartUpUpgrade(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("system.ini"));
    const QByteArray file = BigSystemIni(state.range(0) << 20);
    CTarvikApp app;
    for (auto _ : state) {
        state.PauseTiming();
        Put(path, file);
        state.ResumeTiming();
        app.InitSystemIni(path);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * file.size());
}
BENCHMARK(StartUpUpgrade)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();

void OneKeyWrite(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("system.ini"));
    Put(path, BigSystemIni(state.range(0) << 20));
    // The first write parses the file; the ones measured find it parsed.
    int value = 0;
    WritePrivateProfileString(QStringLiteral("USER"), QStringLiteral("Name"), QStringLiteral("0"), path);
    for (auto _ : state) {
        if (WritePrivateProfileString(QStringLiteral("USER"), QStringLiteral("Name"),
                                      QString::number(++value), path) != 1)
            state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * (state.range(0) << 20));
}
BENCHMARK(OneKeyWrite)->Arg(1)->Arg(4)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
