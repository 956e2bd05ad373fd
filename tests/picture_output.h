#pragma once

// Where the suites write the pictures they make for looking at: $VISTAL_PICTURES_DIR when set (scripts/
// pictures sets build/pictures), else tests/out in the build folder (VISTAL_TEST_OUT_DIR). The folder is
// made when missing. The suites assert what the pictures show; the files are for the eye.

#include <QDir>
#include <QString>

inline QString PicturePath(const QString& name) {
    QString folder = qEnvironmentVariable("VISTAL_PICTURES_DIR");
    if (folder.isEmpty())
        folder = QStringLiteral(VISTAL_TEST_OUT_DIR);
    QDir().mkpath(folder);
    return folder + QLatin1Char('/') + name;
}
