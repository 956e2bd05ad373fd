#pragma once

#include <QString>
#include <vector>

#include "platform/system/process_scan.h"

// The updater's own texts, in English and simplified Chinese.
enum UpdaterTextId {
    TEXT_CAPTION,
    TEXT_UPDATE_NOW,
    TEXT_CHECKING,
    TEXT_NEWER,
    TEXT_CHECK_FAILED,
    TEXT_UP_TO_DATE,
    TEXT_UPDATING,
    TEXT_UPDATE_DONE,
    TEXT_UPDATE_FAILED,
    TEXT_CANCEL,
    TEXT_FINISH,
    TEXT_RETRY_CAPTION,
    TEXT_RETRY_MESSAGE,
    TEXT_RETRY_CONTINUE,
    TEXT_RETRY_EXIT,
    TEXT_RETRY_FOUND,  // %1 the program, %2 its folder
};

QString UpdaterText(UpdaterTextId id, int english);

// The confirmation's message: what it asks, then one line per program found ("Vistal in /opt/vistal").
QString ClientsFoundMessage(const std::vector<FoundProcess>& found, int english);

// The system's default language as a language id (1033 English (US), 2052 Chinese (PRC), 4100 Chinese
// (Singapore), 1028 Chinese (Taiwan), 3076 Chinese (Hong Kong)), from the locale settings LC_ALL,
// LC_MESSAGES, LANG (the first that is set).
unsigned GetSystemDefaultLangID();
// 0 (Chinese texts) for the simplified Chinese languages 2052 and 4100, else 1.
int IsEnglishLanguage(unsigned langId);
