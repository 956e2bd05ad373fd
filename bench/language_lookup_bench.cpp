// Language lookups through CIniFile, as a dialog does when it opens (about 400 of them).

#include <benchmark/benchmark.h>

#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include "core/ini_file.h"
#include "core/text_files.h"
#include "resources/language/builtin_language.h"

namespace {

void DialogOpening(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("language.eng");
    const QString text = QString::fromUtf8(BuiltinLanguageText(0));
    CreateUtf16FileIfAbsent(path, text);
    QStringList keys;
    for (const QString& line : text.split('\n')) {
        int eq = static_cast<int>(line.indexOf('='));
        if (eq > 0 && line != "[TEXT]")
            keys << line.left(eq);
    }
    CIniFile ini(path);
    int64_t lookups = 0;
    for (auto _ : state) {
        for (int i = 0; i < 400; ++i) {
            benchmark::DoNotOptimize(ini.GetText("TEXT", keys[i % keys.size()], "default"));
        }
        lookups += 400;
    }
    state.counters["lookups/s"] =
        benchmark::Counter(static_cast<double>(lookups), benchmark::Counter::kIsRate);
}
BENCHMARK(DialogOpening)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
