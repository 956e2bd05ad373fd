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

// The client's registered languages, built at start-up and read by the client settings page.
extern LanguageList g_languageList;

// Most languages language.ini may register; a larger Number (an edited or damaged file) is read as this.
constexpr int MAX_REGISTERED_LANGUAGES = 256;

// Rebuilds g_languageList from language.ini: one record per registered index (at most
// MAX_REGISTERED_LANGUAGES), whether its file exists or not, named by the file's [TEXT] Name. 0, or -1 when a
// record cannot be allocated (the list built so far stays).
int BuildLanguageList();
void FreeLanguageList();
