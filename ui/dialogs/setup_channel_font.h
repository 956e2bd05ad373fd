#pragma once

// The overlay font records of the channel page (LOGFONTW, as the DVR stores them) and the font dialog's
// QFont, converted both ways.

#include <QFont>
#include <QString>

#include "platform/system/win_types.h"

QString FaceNameOf(const LOGFONTW& font);
QFont FontOfLogFont(const LOGFONTW& font);
// Writes face, height, weight, italic, underline and strike-out of font into record; the other fields
// of the record stay.
void StoreFontInLogFont(const QFont& font, LOGFONTW* record);
