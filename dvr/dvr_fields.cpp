#include "dvr/dvr_fields.h"

#include <QString>
#include <cstdlib>
#include <cstring>

#include "core/base64.h"
#include "core/text_helpers.h"
#include "platform/system/codepage.h"

namespace {

bool IsFieldSeparator(char16_t c) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || QChar::isSpace(c);
}

// Appends the UTF-8 of one code point when it fits in room bytes; false when it does not.
bool PutUtf8(char32_t cp, char** pos, int* room) {
    char bytes[4];
    int n = 0;
    if (cp < 0x80) {
        bytes[n++] = static_cast<char>(cp);
    } else if (cp < 0x800) {
        bytes[n++] = static_cast<char>(0xC0 | (cp >> 6));
        bytes[n++] = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        bytes[n++] = static_cast<char>(0xE0 | (cp >> 12));
        bytes[n++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        bytes[n++] = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        bytes[n++] = static_cast<char>(0xF0 | (cp >> 18));
        bytes[n++] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        bytes[n++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        bytes[n++] = static_cast<char>(0x80 | (cp & 0x3F));
    }
    if (n > *room)
        return false;
    std::memcpy(*pos, bytes, n);
    *pos += n;
    *room -= n;
    return true;
}

void PutNullIfEmpty(char* out) {
    if (out[0] == '\0')
        std::memcpy(out, NULL_TEXT, sizeof NULL_TEXT);
}

bool IsSpaceByte(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The code point the field carries for the character at text[*i]; *i moves past a surrogate pair.
char32_t FieldCodePoint(const char16_t* text, int* i) {
    char32_t cp = text[*i];
    if (cp >= 0xD800 && cp <= 0xDBFF && text[*i + 1] >= 0xDC00 && text[*i + 1] <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (text[*i + 1] - 0xDC00);
        ++*i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
        cp = 0xFFFD;
    } else if (IsFieldSeparator(static_cast<char16_t>(cp))) {
        cp = static_cast<unsigned char>(SPACE_SUBSTITUTE);
    }
    return cp;
}

}  // namespace

void EncodeTextField(const char16_t* text, char* out, int fieldSize) {
    EncodeTextFieldRaw(text, out, fieldSize);
    PutNullIfEmpty(out);
}

void EncodeTextFieldRaw(const char16_t* text, char* out, int fieldSize) {
    char* pos = out;
    int room = fieldSize - 1;
    for (int i = 0; text != nullptr && text[i] != 0; ++i) {
        if (!PutUtf8(FieldCodePoint(text, &i), &pos, &room))
            break;
    }
    *pos = '\0';
}

int TextFieldBytes(const char16_t* text) {
    int bytes = 0;
    for (int i = 0; text != nullptr && text[i] != 0; ++i) {
        const char32_t cp = FieldCodePoint(text, &i);
        bytes += cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
    }
    return bytes;
}

int TextFieldFault(const char16_t* text, int fieldSize) {
    return TextFieldBytes(text) <= fieldSize - 1 ? FIELD_FITS : FIELD_TOO_LONG;
}

int CredentialFieldFault(const char16_t* text, int fieldSize) {
    const QString value = text != nullptr ? QString::fromUtf16(text) : QString();
    if (!AnsiHoldsText(value))
        return FIELD_NOT_IN_CODE_PAGE;
    // Base64 gives four characters for every three bytes begun.
    const qsizetype bytes = WideToAnsi(value).size();
    return 4 * ((bytes + 2) / 3) <= fieldSize - 1 ? FIELD_FITS : FIELD_TOO_LONG;
}

int EncodeCredentialField(const char16_t* text, char* out, int fieldSize) {
    out[0] = '\0';
    if (CredentialFieldFault(text, fieldSize) != FIELD_FITS) {
        PutNullIfEmpty(out);
        return -1;
    }
    QString value = text != nullptr ? QString::fromUtf16(text) : QString();
    for (QChar& c : value) {
        if (c == QChar(u' '))
            c = QChar(static_cast<char16_t>(SPACE_SUBSTITUTE));
    }
    char* encoded = nullptr;
    int capacity = 0;
    int result = 0;
    if (!value.isEmpty() &&
        WideToBase64A(&encoded, reinterpret_cast<const char16_t*>(value.utf16()), value.size(), &capacity) ==
            0 &&
        encoded != nullptr) {
        size_t length = std::strlen(encoded);
        if (length <= static_cast<size_t>(fieldSize - 1))
            std::memcpy(out, encoded, length + 1);
        else
            result = -1;
    }
    std::free(encoded);
    PutNullIfEmpty(out);
    return result;
}

void DecodeTextField(const char* token, char16_t* out, int outChars) {
    out[0] = 0;
    if (token == nullptr || std::strcmp(token, NULL_TEXT) == 0)
        return;
    QByteArray bytes(token);
    for (char& c : bytes) {
        if (c == SPACE_SUBSTITUTE)
            c = ' ';
    }
    QString text = QString::fromUtf8(bytes);
    int n = static_cast<int>(text.size());
    if (n > outChars - 1)
        n = outChars - 1;
    // Never end on the first half of a surrogate pair.
    if (n > 0 && text.at(n - 1).isHighSurrogate())
        --n;
    std::memcpy(out, text.utf16(), n * sizeof(char16_t));
    out[n] = 0;
}

void DecodeCredentialField(const char* token, char16_t* out, int outChars) {
    out[0] = 0;
    if (token == nullptr || std::strcmp(token, NULL_TEXT) == 0)
        return;
    char16_t* decoded = nullptr;
    int capacity = 0;
    if (Base64AToWide(&decoded, token, static_cast<int>(std::strlen(token)), &capacity) == 0 &&
        decoded != nullptr) {
        int n = 0;
        while (n < outChars - 1 && decoded[n] != 0) {
            out[n] = decoded[n];
            ++n;
        }
        if (n > 0 && n == outChars - 1 && out[n - 1] >= 0xD800 && out[n - 1] <= 0xDBFF)
            --n;
        out[n] = 0;
        RestoreSpacesW(out);
    }
    std::free(decoded);
}

void FieldReader::SkipSpace() {
    while (text_ < end_ && IsSpaceByte(*text_))
        ++text_;
}

bool FieldReader::Int(int32_t* value) {
    SkipSpace();
    const char* p = text_;
    bool negative = false;
    if (p < end_ && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    if (p >= end_ || *p < '0' || *p > '9')
        return false;
    int64_t v = 0;
    while (p < end_ && *p >= '0' && *p <= '9') {
        if (v < 0x100000000LL)
            v = v * 10 + (*p - '0');
        ++p;
    }
    if (negative)
        v = -v;
    // A DVR that prints a 32-bit word unsigned (flag words) gives up to 2^32 - 1: that is the word itself.
    if (v > INT32_MAX && v <= UINT32_MAX)
        v = static_cast<int32_t>(static_cast<uint32_t>(v));
    if (v > INT32_MAX)
        v = INT32_MAX;
    if (v < INT32_MIN)
        v = INT32_MIN;
    *value = static_cast<int32_t>(v);
    text_ = p;
    return true;
}

bool FieldReader::Hex(uint32_t* value) {
    SkipSpace();
    const char* p = text_;
    if (p + 1 < end_ && p[0] == '0' && (p[1] == 'x' || p[1] == 'X'))
        p += 2;
    uint64_t v = 0;
    const char* digits = p;
    while (p < end_) {
        char c = *p;
        int d = (c >= '0' && c <= '9')   ? c - '0'
                : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                         : -1;
        if (d < 0)
            break;
        v = (v << 4 | static_cast<uint64_t>(d)) & 0xFFFFFFFFull;
        ++p;
    }
    if (p == digits)
        return false;
    *value = static_cast<uint32_t>(v);
    text_ = p;
    return true;
}

bool FieldReader::Token(char* out, int size) {
    SkipSpace();
    const char* p = text_;
    while (p < end_ && !IsSpaceByte(*p))
        ++p;
    int n = static_cast<int>(p - text_);
    if (n == 0 || n > size - 1)
        return false;
    std::memcpy(out, text_, n);
    out[n] = '\0';
    text_ = p;
    return true;
}

bool FieldReader::Char(char* value) {
    SkipSpace();
    if (text_ >= end_)
        return false;
    *value = *text_++;
    return true;
}
