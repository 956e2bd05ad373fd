#pragma once

// The texts of the three built-in language files, one source file each; read them through
// BuiltinLanguageText (builtin_language.h).
extern const char BUILTIN_LANGUAGE_ENG[];
extern const char BUILTIN_LANGUAGE_CHS[];
extern const char BUILTIN_LANGUAGE_CHT[];
