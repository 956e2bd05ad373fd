#include "core/base64.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/system/codepage.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

struct DecodeTable {
    signed char value[256];
    constexpr DecodeTable() : value() {
        for (int i = 0; i < 256; ++i)
            value[i] = -1;
        for (int i = 0; i < 64; ++i)
            value[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
    }
};
constexpr DecodeTable kDecode;

int Value(unsigned char c) {
    return kDecode.value[c];
}

void Put(unsigned char byte, unsigned char** outPos, size_t* outRoom) {
    if (*outRoom == 0)
        return;
    **outPos = byte;
    ++*outPos;
    --*outRoom;
}

// Grows a caller's buffer to hold `count` elements of `size` bytes. false when realloc fails (the buffer
// is then null and its capacity 0).
template <typename T>
bool Reserve(T** buffer, int* capacity, int needed) {
    if (*buffer != nullptr && *capacity >= needed)
        return true;
    void* grown = std::realloc(*buffer, sizeof(T) * static_cast<size_t>(needed + 1));
    if (grown == nullptr) {
        std::free(*buffer);
        *buffer = nullptr;
        *capacity = 0;
        return false;
    }
    *buffer = static_cast<T*>(grown);
    return true;
}

// Encodes text's code-page bytes into a terminated Base64 byte string.
QByteArray EncodeAnsi(const char16_t* text, int length) {
    QByteArray ansi = WideToAnsi(QString(reinterpret_cast<const QChar*>(text), length));
    size_t n = static_cast<size_t>(ansi.size());
    QByteArray out(static_cast<qsizetype>(4 * ((n + 2) / 3) + 1), '\0');
    Base64Encode(static_cast<size_t>(out.size()), n, out.data(),
                 reinterpret_cast<const unsigned char*>(ansi.constData()));
    out.chop(1);
    return out;
}

// Decodes Base64 bytes and reads the result in the code page.
QString DecodeToText(const char* base64, int length) {
    std::vector<unsigned char> bytes(static_cast<size_t>(length) + 1);
    size_t size = static_cast<size_t>(length);
    Base64Decode(reinterpret_cast<const unsigned char*>(base64), static_cast<size_t>(length), bytes.data(),
                 &size);
    // The decoded bytes are a NUL-terminated string: a NUL among them ends the text.
    const auto* begin = reinterpret_cast<const char*>(bytes.data());
    return AnsiToWide(QByteArray(begin, static_cast<qsizetype>(strnlen(begin, size))));
}

}  // namespace

void Base64Encode(size_t outSize, size_t inLength, char* out, const unsigned char* in) {
    size_t o = 0;
    auto put = [&](char c) {
        if (o < outSize)
            out[o++] = c;
    };
    size_t i = 0;
    for (; i + 3 <= inLength; i += 3) {
        unsigned v = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
        put(kAlphabet[(v >> 18) & 63]);
        put(kAlphabet[(v >> 12) & 63]);
        put(kAlphabet[(v >> 6) & 63]);
        put(kAlphabet[v & 63]);
    }
    size_t rest = inLength - i;
    if (rest == 1) {
        unsigned v = in[i] << 16;
        put(kAlphabet[(v >> 18) & 63]);
        put(kAlphabet[(v >> 12) & 63]);
        put('=');
        put('=');
    } else if (rest == 2) {
        unsigned v = (in[i] << 16) | (in[i + 1] << 8);
        put(kAlphabet[(v >> 18) & 63]);
        put(kAlphabet[(v >> 12) & 63]);
        put(kAlphabet[(v >> 6) & 63]);
        put('=');
    }
    if (o < outSize)
        out[o] = '\0';
}

int IsBase64Char(unsigned char c) {
    return Value(c) >= 0 ? 1 : 0;
}

int Base64DecodeQuartet(const unsigned char* in, size_t remaining, unsigned char** outPos, size_t* outRoom) {
    if (remaining < 2 || !IsBase64Char(in[0]) || !IsBase64Char(in[1]))
        return 0;
    int v1 = Value(in[0]), v2 = Value(in[1]);
    Put(static_cast<unsigned char>(v1 << 2 | v2 >> 4), outPos, outRoom);
    if (remaining == 2)
        return 0;
    if (in[2] == '=')
        return remaining == 4 && in[3] == '=' ? 1 : 0;
    if (!IsBase64Char(in[2]))
        return 0;
    int v3 = Value(in[2]);
    Put(static_cast<unsigned char>(((v2 << 4) & 0xF0) | v3 >> 2), outPos, outRoom);
    if (remaining == 3)
        return 0;
    if (in[3] == '=')
        return remaining == 4 ? 1 : 0;
    if (!IsBase64Char(in[3]))
        return 0;
    int v4 = Value(in[3]);
    Put(static_cast<unsigned char>(((v3 << 6) & 0xC0) | v4), outPos, outRoom);
    return 1;
}

int Base64Decode(const unsigned char* in, size_t inLength, unsigned char* out, size_t* outSize) {
    if (outSize == nullptr)
        return 0;
    unsigned char* pos = out;
    size_t room = out != nullptr ? *outSize : 0;
    size_t i = 0;
    int complete = 1;
    while (i < inLength) {
        if (!Base64DecodeQuartet(in + i, inLength - i, &pos, &room)) {
            complete = 0;
            break;
        }
        i += 4;
    }
    *outSize = static_cast<size_t>(pos - out);
    return complete;
}

int WideToBase64W(const char16_t* text, int length, char16_t** buffer, int* capacity) {
    if (text == nullptr || length <= 0 || buffer == nullptr || capacity == nullptr)
        return -1;
    QByteArray encoded = EncodeAnsi(text, length);
    if (!Reserve(buffer, capacity, static_cast<int>(encoded.size())))
        return -1;
    *capacity = static_cast<int>(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i)
        (*buffer)[i] = static_cast<char16_t>(encoded[i]);
    (*buffer)[encoded.size()] = 0;
    return 0;
}

int WideToBase64A(char** buffer, const char16_t* text, int length, int* capacity) {
    if (text == nullptr || length <= 0 || buffer == nullptr || capacity == nullptr)
        return -1;
    QByteArray encoded = EncodeAnsi(text, length);
    if (!Reserve(buffer, capacity, static_cast<int>(encoded.size())))
        return -1;
    *capacity = static_cast<int>(encoded.size());
    std::memcpy(*buffer, encoded.constData(), static_cast<size_t>(encoded.size()) + 1);
    return 0;
}

int Base64AToWide(char16_t** buffer, const char* base64, int length, int* capacity) {
    if (base64 == nullptr || length <= 0 || buffer == nullptr || capacity == nullptr)
        return -1;
    QString text = DecodeToText(base64, length);
    if (!Reserve(buffer, capacity, length))
        return -1;
    *capacity = length;
    qsizetype n = text.size() < length ? text.size() : length;
    std::memcpy(*buffer, text.utf16(), sizeof(char16_t) * static_cast<size_t>(n));
    (*buffer)[n] = 0;
    return 0;
}

int Base64WToWide(int length, const char16_t* base64, char16_t** buffer, int* capacity) {
    if (base64 == nullptr || length <= 0 || buffer == nullptr || capacity == nullptr)
        return -1;
    QByteArray narrow = WideToAnsi(QString(reinterpret_cast<const QChar*>(base64), length));
    return Base64AToWide(buffer, narrow.constData(), static_cast<int>(narrow.size()), capacity);
}

QString WideToBase64(const QString& text) {
    if (text.isEmpty())
        return QString();
    return QString::fromLatin1(
        EncodeAnsi(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<int>(text.size())));
}

bool Base64ToWide(const QString& base64, QString* text) {
    if (base64.isEmpty() || text == nullptr)
        return false;
    QByteArray narrow = WideToAnsi(base64);
    *text = DecodeToText(narrow.constData(), static_cast<int>(narrow.size()));
    return true;
}
