#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>

// Colours and drawing helpers shared by every family of pictures: one calm dark theme.
namespace artwork {

namespace colour {
inline const QColor kBase{0x1b, 0x1f, 0x24};       // window frame and bars
inline const QColor kPanel{0x23, 0x29, 0x30};      // right panel and control groups
inline const QColor kRaised{0x29, 0x30, 0x38};     // raised group panels
inline const QColor kVoid{0x0e, 0x11, 0x14};       // video areas
inline const QColor kWell{0x15, 0x19, 0x1d};       // recessed fields
inline const QColor kEdgeDark{0x0b, 0x0d, 0x10};   // shadow edges
inline const QColor kEdgeLight{0x3a, 0x43, 0x4e};  // lit edges and outlines
inline const QColor kInk{0xc3, 0xcb, 0xd3};        // pictograms
inline const QColor kInkBright{0xe4, 0xea, 0xef};  // pictograms under the pointer
inline const QColor kInkDim{0x6b, 0x76, 0x82};     // quiet pictograms on the skins
inline const QColor kAccent{0x5f, 0xa3, 0xc0};     // muted steel cyan
inline const QColor kAccentDim{0x3e, 0x6f, 0x86};
inline const QColor kGreen{0x6f, 0xae, 0x7a};
inline const QColor kRed{0xc4, 0x62, 0x5a};
inline const QColor kAmber{0xd6, 0xa5, 0x48};
inline const QColor kTreeGround{0x1c, 0x21, 0x27};
// Key colours with a meaning for the code that draws the pictures; never used for anything else.
inline const QColor kKeyWhite{255, 255, 255};
inline const QColor kKeyMagenta{255, 0, 255};
inline const QColor kKeyBlack{0, 0, 0};
}  // namespace colour

// An opaque picture of the given size filled with one colour.
QImage NewPicture(int width, int height, const QColor& fill);

// A painter with anti-aliasing on.
void PrepareSmooth(QPainter& painter);

// Top-to-bottom gradient over a rectangle.
void FillGradient(QPainter& painter, const QRectF& rect, const QColor& top, const QColor& bottom);

// A group panel that stands slightly out of the ground.
void DrawRaisedPanel(QPainter& painter, const QRectF& rect, qreal radius);

// A sunken field: dark top and left edges, lit bottom and right edges, flat fill inside. The rectangle is the
// outer edge; the fill starts one pixel inside.
void DrawWell(QPainter& painter, const QRect& rect, const QColor& fill);

// The title band of both skins: a colour per row, so the caption buttons can repeat it exactly.
QColor TitleBandColour(int y);
inline constexpr int kTitleBandHeight = 30;

// The small lens emblem in the fixed top-left corner of both skins.
void DrawCornerEmblem(QPainter& painter);

// Rounds the four corners of a skin with the given radius: pixels outside the arc become pure white (the
// window region takes them out), the arc itself gets the outline colour. Nothing else in the corner areas is
// left pure white.
void CutCorners(QImage& skin, int radius, const QColor& outline);

// Last step of a shaped skin: no stray key white, and the corners cut when `cutCorners`.
void FinishShapedSkin(QImage& skin, int radius, bool cutCorners);

// Replaces every pure-white pixel by a near-white one; called before CutCorners, so that only the cut corners
// of a shaped skin carry the key colour.
void ClearKeyWhite(QImage& picture);

// Turns a drawing with an alpha channel into an opaque picture keyed by a colour: pixels covered at least
// half are laid over `ground` (so soft edges fit the ground the picture is shown on), the others become
// `key`. No covered pixel is left equal to the key.
QImage KeyedPicture(const QImage& drawing, const QColor& ground, const QColor& key);

// A transparent drawing surface.
QImage NewDrawing(int width, int height);

// Mixes two colours; t = 0 gives a, t = 1 gives b.
QColor Mix(const QColor& a, const QColor& b, qreal t);

}  // namespace artwork
