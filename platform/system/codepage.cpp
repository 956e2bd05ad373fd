#include "platform/system/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

namespace {

std::mutex g_codePageLock;
QByteArray g_languageCodePage = "CP1252";

// Runs one iconv conversion over the whole input. On a sequence the target cannot take, `substitute` is
// written instead, `skip` input bytes are passed over and *substituted (when given) counts it.
QByteArray Convert(const char* to, const char* from, const QByteArray& input, const QByteArray& substitute,
                   size_t skip, int* substituted = nullptr) {
    QByteArray out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return out;
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<qsizetype>(sizeof buffer - outLeft));
        if (r != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        // EILSEQ or EINVAL: an unconvertible or cut sequence.
        out.append(substitute);
        if (substituted != nullptr)
            ++*substituted;
        size_t step = skip < inLeft ? skip : inLeft;
        in += step;
        inLeft -= step;
    }
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<qsizetype>(sizeof buffer - outLeft));
    iconv_close(cd);
    return out;
}

}  // namespace

void SetAnsiCodePageForLanguage(int language) {
    std::lock_guard<std::mutex> guard(g_codePageLock);
    g_languageCodePage = language == 1 ? "CP936" : language == 2 ? "CP950" : "CP1252";
}

QByteArray AnsiCodePageName() {
    const char* env = std::getenv("VISTAL_CODEPAGE");
    if (env != nullptr && env[0] != '\0')
        return QByteArray(env);
    std::lock_guard<std::mutex> guard(g_codePageLock);
    return g_languageCodePage;
}

namespace {

QByteArray WideToAnsiCounted(const QString& text, int* substituted) {
    if (text.isEmpty())
        return QByteArray();
    QByteArray utf16(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    // One UTF-16 unit (two bytes) is skipped per character the code page lacks.
    return Convert(AnsiCodePageName().constData(), "UTF-16LE", utf16, QByteArray("?"), 2, substituted);
}

}  // namespace

QByteArray WideToAnsi(const QString& text) {
    return WideToAnsiCounted(text, nullptr);
}

bool AnsiHoldsText(const QString& text) {
    int substituted = 0;
    const QByteArray bytes = WideToAnsiCounted(text, &substituted);
    return substituted == 0 && (text.isEmpty() || !bytes.isEmpty());
}

QString AnsiToWide(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return QString();
    static const char replacement[] = {'\xFD', '\xFF'};
    QByteArray utf16 =
        Convert("UTF-16LE", AnsiCodePageName().constData(), bytes, QByteArray(replacement, 2), 1);
    return QString(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2);
}
