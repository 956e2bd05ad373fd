#pragma once

// Base64 (standard alphabet, "=" padding) of the code-page bytes of user names and passwords, as stored in
// system.ini and the tree files and sent to DVRs and the WAN server.

#include <QString>
#include <cstddef>

// Encodes inLength bytes; writes at most outSize bytes, with a NUL after the last character when room is
// left. An output of 4 * ((n + 2) / 3) + 1 bytes always receives the whole terminated text.
void Base64Encode(size_t outSize, size_t inLength, char* out, const unsigned char* in);

int IsBase64Char(unsigned char c);

// Decodes the group at in (remaining: input bytes from it to the end). Writes into *outPos while *outRoom
// lasts, advancing both. 1 when the whole group was decoded, else 0 (bytes written before failing stay).
int Base64DecodeQuartet(const unsigned char* in, size_t remaining, unsigned char** outPos, size_t* outRoom);

// Decodes group by group until a group fails. *outSize: room in, bytes written out. 1 only when the whole
// input was decoded.
int Base64Decode(const unsigned char* in, size_t inLength, unsigned char* out, size_t* outSize);

// Text -> Base64 of its code-page bytes, into a caller-owned growable buffer (free() it). 0, or -1 for a
// null or empty text or a null buffer argument.
int WideToBase64W(const char16_t* text, int length, char16_t** buffer, int* capacity);
int WideToBase64A(char** buffer, const char16_t* text, int length, int* capacity);

// Base64 -> text: the decoded bytes read in the code page. Invalid input gives the text of its valid
// prefix. 0, or -1 for a null or empty text, a null buffer argument or a failed allocation (the buffer is
// then left as it was, so callers keep their default).
int Base64WToWide(int length, const char16_t* base64, char16_t** buffer, int* capacity);
int Base64AToWide(char16_t** buffer, const char* base64, int length, int* capacity);

// QString forms of the wrappers above for callers that hold QStrings.
QString WideToBase64(const QString& text);
// false (and *text untouched) when base64 is empty.
bool Base64ToWide(const QString& base64, QString* text);
