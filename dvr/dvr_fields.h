#pragma once

// Field codecs of the DVR text protocol. Outgoing text fields are UTF-8 with white space sent as
// SPACE_SUBSTITUTE and "(NULL)" for an empty text; credentials are Base64 of their code-page bytes, in which
// only the space is substituted.
// Incoming messages are read field by field strictly within their own length.

#include <cstddef>
#include <cstdint>

constexpr int TEXT_FIELD_SIZE = 256;
// The field of an empty text.
constexpr char NULL_TEXT[] = "(NULL)";

// Text -> field bytes: every white-space or control character becomes SPACE_SUBSTITUTE, the UTF-8 is cut
// at a character boundary so that it fits fieldSize - 1 bytes, and an empty result becomes "(NULL)".
// out receives a NUL-terminated token of at most fieldSize - 1 bytes (fieldSize >= 7).
void EncodeTextField(const char16_t* text, char* out, int fieldSize);
// Outgoing text without the "(NULL)" of an empty text (a file path of a playback request).
void EncodeTextFieldRaw(const char16_t* text, char* out, int fieldSize);
// User name or password -> Base64 of its code-page bytes, "(NULL)" when empty. Only U+0020 becomes
// SPACE_SUBSTITUTE first: a tab or a no-break space is part of a password and travels as it is (Base64
// cannot split the field). -1 (out holds "(NULL)") when the Base64 text does not fit fieldSize - 1 bytes or
// the code page lacks one of its characters: a credential is never sent cut or altered.
[[nodiscard]] int EncodeCredentialField(const char16_t* text, char* out, int fieldSize);

// Why a text cannot travel in its field.
enum FieldFault : int {
    FIELD_FITS = 0,
    FIELD_TOO_LONG = 1,          // its encoded form is longer than the field holds
    FIELD_NOT_IN_CODE_PAGE = 2,  // a credential with a character the code page lacks (it would become '?')
};
// The number of bytes EncodeTextFieldRaw writes for text when nothing is cut.
int TextFieldBytes(const char16_t* text);
// FIELD_FITS when EncodeTextField sends text whole in a field of fieldSize bytes, else FIELD_TOO_LONG.
[[nodiscard]] int TextFieldFault(const char16_t* text, int fieldSize);
// FIELD_FITS when EncodeCredentialField sends text whole and unaltered in a field of fieldSize bytes.
[[nodiscard]] int CredentialFieldFault(const char16_t* text, int fieldSize);

// Field token -> text: "(NULL)" is empty, SPACE_SUBSTITUTE becomes a space, UTF-8 is decoded into out of
// outChars characters (always terminated).
void DecodeTextField(const char* token, char16_t* out, int outChars);
// Base64 credential token -> text of at most outChars - 1 characters, SPACE_SUBSTITUTE as spaces.
void DecodeCredentialField(const char* token, char16_t* out, int outChars);

// Reads the fields of one received message in order, never past its length.
class FieldReader {
public:
    FieldReader(const char* text, int length) : text_(text), end_(text + (length > 0 ? length : 0)) {}
    // A decimal number (optionally signed). 2^31 .. 2^32 - 1 read as the 32-bit word they print (3000000000
    // is -1294967296); beyond that it is saturated to 32 bits. False when none.
    bool Int(int32_t* value);
    // A hexadecimal number. False when none.
    bool Hex(uint32_t* value);
    // A token of non-white bytes into a NUL-terminated buffer of size bytes; false when there is none or
    // when it is longer than size - 1 bytes.
    bool Token(char* out, int size);
    // One byte after any white space.
    bool Char(char* value);

private:
    void SkipSpace();
    const char* text_;
    const char* end_;
};
