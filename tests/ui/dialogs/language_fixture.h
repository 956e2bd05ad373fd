#pragma once

// Makes one of the three built-in language files the active language of the client for a test.

#include <QString>
#include <QTemporaryDir>

#include "core/tarvik_app.h"
#include "core/text_files.h"
#include "resources/language/builtin_language.h"

inline constexpr const char* kLanguageNames[] = {"english", "chs", "cht"};

class ScopedBuiltinLanguage {
public:
    explicit ScopedBuiltinLanguage(int index) {
        QString path = m_dir.filePath(QStringLiteral("language.txt"));
        m_ok = ReplaceUtf16File(path, QString::fromUtf8(BuiltinLanguageText(index)));
        theApp.m_iniLanguage.SetPath(path);
    }
    ~ScopedBuiltinLanguage() { theApp.m_iniLanguage.SetPath(QString()); }
    bool ok() const { return m_ok; }

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
};
