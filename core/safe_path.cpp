#include "core/safe_path.h"

namespace {

bool Unsafe(QChar c) {
    static const QString kReserved = QStringLiteral("\\/:*?\"<>|");
    return c.unicode() < 0x20 || c.unicode() == 0x7F || kReserved.contains(c);
}

}  // namespace

QString MakeSafePathComponent(const QString& name) {
    if (name.isEmpty())
        return QStringLiteral("_");
    if (name == QStringLiteral(".") || name == QStringLiteral(".."))
        return QString(name.size(), QLatin1Char('_'));
    QString safe = name;
    for (QChar& c : safe) {
        if (Unsafe(c))
            c = QLatin1Char('_');
    }
    return safe;
}
