#pragma once

// The language files built into the client, as UTF-8 text with LF line ends and without a byte-order mark:
// index 0 English, 1 simplified Chinese, 2 traditional Chinese. The deployment converts a text to UTF-16LE
// and writes it after its own byte-order mark. Returns nullptr for any other index.
const char* BuiltinLanguageText(int index);
