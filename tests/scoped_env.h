#pragma once

// Sets an environment variable for the life of the object and restores what it was (or unsets it).

#include <QByteArray>
#include <QtGlobal>

class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_saved(qgetenv(name)), m_was(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (m_was)
            qputenv(m_name, m_saved);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    QByteArray m_saved;
    bool m_was;
};
