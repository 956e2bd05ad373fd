#pragma once

#include <cstdint>

// One language: of the client's registered language files (index = language.ini section) or of a DVR.
struct DVRLanguageInfo {
    int32_t index;
    char16_t name[256];
    DVRLanguageInfo* next;
};

struct LanguageList {
    DVRLanguageInfo* head = nullptr;
    int32_t count = 0;
};

// Most registered indices the list takes: a language.ini that names more (a damaged or hostile Number)
// would otherwise have the start-up read files billions of times.
constexpr int LANGUAGE_LIST_MAX = 256;

// The client's registered languages, built at start-up and read by the client settings page.
extern LanguageList g_languageList;

// Rebuilds g_languageList from language.ini: one record per registered index, whether its file exists or
// not, named by the file's [TEXT] Name; indices from LANGUAGE_LIST_MAX on are not listed. 0, or -1 when a
// record cannot be allocated (the list built so far stays).
int BuildLanguageList();
void FreeLanguageList();
