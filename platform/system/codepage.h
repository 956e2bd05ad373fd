#pragma once

// The 8-bit "ANSI" code page that user names and passwords are encoded in before Base64, and that LAN
// discovery replies and the WAN server's names use. VISTAL_CODEPAGE names it (an iconv name such as
// CP1252, CP936, CP950); otherwise it follows the language chosen at first start.

#include <QByteArray>
#include <QString>

// 0 English (CP1252), 1 simplified Chinese (CP936), 2 traditional Chinese (CP950). Ignored while
// VISTAL_CODEPAGE is set.
void SetAnsiCodePageForLanguage(int language);
// The iconv name of the code page in force.
QByteArray AnsiCodePageName();

// Text to code-page bytes; a character the code page cannot hold becomes '?'.
QByteArray WideToAnsi(const QString& text);
// Whether the code page holds every character of text (WideToAnsi then loses nothing).
bool AnsiHoldsText(const QString& text);
// Code-page bytes to text; a byte sequence that is not valid becomes U+FFFD.
QString AnsiToWide(const QByteArray& bytes);
