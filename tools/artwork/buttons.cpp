#include "tools/artwork/buttons.h"

#include <QPainterPath>

#include "tools/artwork/catalog.h"
#include "tools/artwork/glyphs.h"
#include "tools/artwork/paint_kit.h"
#include "tools/artwork/skin_cache.h"
#include "tools/artwork/skins.h"

namespace artwork {
namespace {

enum class Face {
    kRounded,  // raised rounded rectangle
    kRound,    // round button (exit)
    kCaption,  // flat on the title band, lit under the pointer
    kClose,    // caption close: lit in muted red
    kLight,    // light face for a caption drawn over it in black (login dialog)
    kPad,      // cut from the PTZ pad
};

// Where a button sits (top-left corner at 1024 x 768) on which skin: the picture's corners are taken from the
// skin there, so the button joins its ground. skin 0: the login dialog's footer.
struct ButtonLook {
    unsigned id;
    Glyph glyph;
    Face face;
    unsigned skin;
    int x;
    int y;
    qreal glyphSize;
    int padButton = -1;
};

const ButtonLook kLooks[] = {
    // Caption of the main window.
    {224, Glyph::kClose, Face::kClose, 155, 993, 0, 11},
    {225, Glyph::kMaximise, Face::kCaption, 155, 972, 0, 11},
    {227, Glyph::kRestore, Face::kCaption, 155, 972, 0, 11},
    {226, Glyph::kMinimise, Face::kCaption, 155, 951, 0, 11},
    // Right panel.
    {219, Glyph::kOpenAll, Face::kRounded, 155, 863, 373, 14},
    {218, Glyph::kCloseAll, Face::kRounded, 155, 952, 373, 14},
    {177, Glyph::kPlus, Face::kRounded, 155, 840, 440, 14},
    {176, Glyph::kMinus, Face::kRounded, 155, 952, 440, 14},
    {173, Glyph::kIrisOpen, Face::kRounded, 155, 840, 469, 17},
    {174, Glyph::kIrisClose, Face::kRounded, 155, 952, 469, 17},
    {206, Glyph::kSpinUp, Face::kRounded, 155, 982, 510, 8},
    {205, Glyph::kSpinDown, Face::kRounded, 155, 982, 520, 8},
    {181, Glyph::kPresetSet, Face::kRounded, 155, 840, 538, 16},
    {182, Glyph::kPresetClear, Face::kRounded, 155, 896, 538, 16},
    {183, Glyph::kPresetGoto, Face::kRounded, 155, 953, 538, 16},
    {167, Glyph::kNone, Face::kPad, 155, kMainPadX + kPadCell, kMainPadY, 0, kPadUp},
    {172, Glyph::kNone, Face::kPad, 155, kMainPadX + kPadCell, kMainPadY + 2 * kPadCell, 0, kPadDown},
    {170, Glyph::kNone, Face::kPad, 155, kMainPadX, kMainPadY + kPadCell, 0, kPadLeft},
    {169, Glyph::kNone, Face::kPad, 155, kMainPadX + 2 * kPadCell, kMainPadY + kPadCell, 0, kPadRight},
    {168, Glyph::kNone, Face::kPad, 155, kMainPadX + kPadCell, kMainPadY + kPadCell, 0, kPadCentre},
    {153, Glyph::kSound, Face::kRounded, 155, 840, 718, 16},
    {152, Glyph::kMuted, Face::kRounded, 155, 840, 718, 16},
    {171, Glyph::kPower, Face::kRound, 155, 949, 698, 24},
    {178, Glyph::kTray, Face::kRounded, 155, 986, 728, 14},
    // Bottom bar.
    {160, Glyph::kPlayback, Face::kRounded, 155, 771, 690, 16},
    {158, Glyph::kLogin, Face::kRounded, 155, 771, 718, 16},
    {166, Glyph::kLogout, Face::kRounded, 155, 771, 718, 16},
    {162, Glyph::kSequence, Face::kRounded, 155, 712, 690, 16},
    {165, Glyph::kSnapshot, Face::kRounded, 155, 712, 718, 16},
    {164, Glyph::kSetup, Face::kRounded, 155, 653, 690, 16},
    {156, Glyph::kStatus, Face::kRounded, 155, 653, 718, 16},
    {157, Glyph::kFullScreen, Face::kRounded, 155, 594, 690, 16},
    {163, Glyph::kAutoScroll, Face::kRounded, 155, 594, 718, 16},
    {159, Glyph::kNextPage, Face::kRounded, 155, 535, 718, 14},
    {161, Glyph::kPrevPage, Face::kRounded, 155, 476, 718, 14},
    // Playback dialog.
    {212, Glyph::kSearch, Face::kRounded, 213, 947, 164, 15},
    {196, Glyph::kFullScreen, Face::kRounded, 213, 838, 668, 16},
    {195, Glyph::kDownload, Face::kRounded, 213, 902, 668, 16},
    {207, Glyph::kSnapshot, Face::kRounded, 213, 955, 668, 16},
    {197, Glyph::kPlay, Face::kRounded, 213, 744, 635, 13},
    {200, Glyph::kPause, Face::kRounded, 213, 744, 635, 13},
    {198, Glyph::kStop, Face::kRounded, 213, 777, 635, 13},
    {199, Glyph::kStep, Face::kRounded, 213, 810, 635, 13},
    {203, Glyph::kSlow, Face::kRounded, 213, 843, 635, 14},
    {204, Glyph::kFast, Face::kRounded, 213, 876, 635, 14},
    {201, Glyph::kMinuteBack, Face::kRounded, 213, 909, 635, 15},
    {202, Glyph::kMinuteOn, Face::kRounded, 213, 942, 635, 15},
    // Login dialog.
    {188, Glyph::kNone, Face::kLight, 0, 0, 0, 0},
};

const ButtonLook* FindLook(unsigned id) {
    for (const ButtonLook& look : kLooks) {
        if (look.id == id) {
            return &look;
        }
    }
    return nullptr;
}

QImage Ground(const ButtonLook& look, int w, int h) {
    if (look.skin == 0) {
        return NewPicture(w, h, colour::kBase);
    }
    return SkinGround(look.skin).copy(look.x, look.y, w, h);
}

QColor Ink(int state) {
    return state == 1 ? colour::kInkBright : state == 2 ? colour::kAccent : colour::kInk;
}

// Face colours by state (normal, hover, pressed): top and bottom of the gradient, and the border.
struct FacePalette {
    QColor top[3];
    QColor bottom[3];
    QColor border;
};

const FacePalette kDarkFace = {{QColor(0x36, 0x3e, 0x48), QColor(0x3f, 0x49, 0x55), QColor(0x1d, 0x23, 0x2a)},
                               {QColor(0x2a, 0x31, 0x39), QColor(0x32, 0x3a, 0x44), QColor(0x27, 0x2e, 0x36)},
                               QColor(0x43, 0x4d, 0x59)};

// Light enough for the black captions the login dialog draws over it.
const FacePalette kLightFace = {
    {QColor(0xaf, 0xbd, 0xcb), QColor(0xbf, 0xcc, 0xd9), QColor(0x86, 0x96, 0xa7)},
    {QColor(0x94, 0xa4, 0xb4), QColor(0xa4, 0xb4, 0xc4), QColor(0x98, 0xa8, 0xb8)},
    QColor(0x5c, 0x6b, 0x7a)};

void DrawFace(QPainter& p, const QRectF& r, qreal radius, int state, const FacePalette& palette, bool round) {
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, palette.top[state]);
    fill.setColorAt(1, palette.bottom[state]);
    p.setPen(QPen(state == 0 ? palette.border : colour::kAccentDim, 1));
    p.setBrush(fill);
    if (round) {
        p.drawEllipse(r);
        return;
    }
    p.drawRoundedRect(r, radius, radius);
    if (state != 2) {
        // A faint lit edge under the top border.
        p.setPen(QPen(QColor(255, 255, 255, 16), 1));
        p.drawLine(QPointF(r.left() + radius, r.top() + 1), QPointF(r.right() - radius, r.top() + 1));
    }
}

void DrawCaptionFace(QPainter& p, const QRectF& r, int state, bool close) {
    if (state == 0) {
        return;
    }
    QColor fill = close ? colour::kRed.darker(state == 1 ? 125 : 160) : QColor(0x3a, 0x43, 0x4e);
    if (!close && state == 2) {
        fill = QColor(0x16, 0x1a, 0x1f);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(r, 3, 3);
}

QImage DrawPicture(const ButtonLook& look, int w, int h, int state) {
    QImage picture = Ground(look, w, h);
    QPainter p(&picture);
    PrepareSmooth(p);
    const QRectF face(0.5, 0.5, w - 1, h - 1);
    QColor ink = Ink(state);
    switch (look.face) {
        case Face::kPad:
            // The pad lies on the plain panel; the whole pad is drawn with this button lit, shifted so the
            // button's cell lands on the picture.
            picture.fill(colour::kPanel);
            DrawPtzPad(p, QPointF(kMainPadX - look.x, kMainPadY - look.y), look.padButton, state);
            return picture;
        case Face::kRounded:
            DrawFace(p, face, std::min(4.0, h / 4.0), state, kDarkFace, false);
            break;
        case Face::kRound:
            DrawFace(p, face.adjusted(2, 2, -2, -2), 0, state, kDarkFace, true);
            if (state != 0) {
                ink = state == 1 ? colour::kRed.lighter(125) : colour::kRed;
            }
            break;
        case Face::kCaption:
        case Face::kClose:
            DrawCaptionFace(p, face.adjusted(1, 1, -1, -2), state, look.face == Face::kClose);
            ink = state == 0 ? QColor(0xa4, 0xae, 0xb8) : colour::kInkBright;
            break;
        case Face::kLight:
            DrawFace(p, face, 5, state, kLightFace, false);
            break;
    }
    const qreal shift = state == 2 ? 1 : 0;
    const qreal g = look.glyphSize;
    DrawGlyph(p, look.glyph, QRectF((w - g) / 2 + shift, (h - g) / 2 + shift, g, g), ink);
    return picture;
}

}  // namespace

QImage DrawButtonStrip(unsigned id) {
    const ButtonLook* look = FindLook(id);
    const ArtworkEntry* entry = FindArtwork(id);
    if (look == nullptr || entry == nullptr || entry->frames != 3) {
        return {};
    }
    const int w = entry->width / 3, h = entry->height;
    QImage strip = NewPicture(entry->width, h, colour::kBase);
    QPainter p(&strip);
    for (int state = 0; state < 3; ++state) {
        p.drawImage(state * w, 0, DrawPicture(*look, w, h, state));
    }
    p.end();
    ClearKeyWhite(strip);
    return strip;
}

}  // namespace artwork
