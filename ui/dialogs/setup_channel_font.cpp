#include "ui/dialogs/setup_channel_font.h"

#include <algorithm>
#include <cstdlib>

QString FaceNameOf(const LOGFONTW& font) {
    qsizetype length = 0;
    while (length < static_cast<qsizetype>(std::size(font.lfFaceName)) && font.lfFaceName[length] != 0)
        ++length;
    return QString::fromUtf16(font.lfFaceName, length);
}

QFont FontOfLogFont(const LOGFONTW& font) {
    QFont result;
    QString face = FaceNameOf(font);
    if (!face.isEmpty())
        result.setFamily(face);
    if (font.lfHeight != 0)
        result.setPixelSize(std::abs(font.lfHeight));
    if (font.lfWeight > 0)
        result.setWeight(static_cast<QFont::Weight>(std::clamp(font.lfWeight, 1, 1000)));
    result.setItalic(font.lfItalic != 0);
    result.setUnderline(font.lfUnderline != 0);
    result.setStrikeOut(font.lfStrikeOut != 0);
    return result;
}

void StoreFontInLogFont(const QFont& font, LOGFONTW* record) {
    if (record == nullptr)
        return;
    std::fill(std::begin(record->lfFaceName), std::end(record->lfFaceName), u'\0');
    QString face = font.family();
    std::copy_n(reinterpret_cast<const char16_t*>(face.utf16()),
                std::min<qsizetype>(face.size(), std::size(record->lfFaceName) - 1), record->lfFaceName);
    int pixels = font.pixelSize();
    if (pixels <= 0 && font.pointSizeF() > 0)
        pixels = static_cast<int>(font.pointSizeF() * 96.0 / 72.0 + 0.5);
    if (pixels > 0)
        record->lfHeight = -pixels;
    record->lfWeight = font.weight();
    record->lfItalic = font.italic() ? 1 : 0;
    record->lfUnderline = font.underline() ? 1 : 0;
    record->lfStrikeOut = font.strikeOut() ? 1 : 0;
}
