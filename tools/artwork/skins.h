#pragma once

#include <QImage>
#include <QPainter>
#include <QPointF>

// The large backgrounds: the main window and playback dialog skins (1024 x 768), the login dialog's
// background and the device tree's tiled background. Each is drawn for a 1024 x 768 window; the parts that
// the windows stretch at other sizes are kept uniform in the stretched direction.
namespace artwork {

// kKeep leaves the window corners uncut: the ground from which buttons in a corner take their background.
enum class Corners { kCut, kKeep };
QImage DrawMainSkin(Corners corners = Corners::kCut);
QImage DrawPlaybackSkin(Corners corners = Corners::kCut);
QImage DrawLoginSkin();
QImage DrawTreeBackground();

// The PTZ pad of the main window: a dish with five buttons (up, left, centre, right, down) on a 135 x 135
// square whose top-left corner is `origin`. `active` names the button drawn in `state` (0 normal, 1 hover,
// 2 pressed); -1 draws all five in the normal state.
enum PadButton { kPadUp, kPadLeft, kPadCentre, kPadRight, kPadDown };
void DrawPtzPad(QPainter& painter, QPointF origin, int active, int state);
inline constexpr int kPadCell = 45;

// Main window layout at 1024 x 768 (from its control table): where the pad and the channel lights sit.
inline constexpr int kMainPadX = 1024 - 166;
inline constexpr int kMainPadY = 768 - 199;

// Radius of the rounded window corners of both skins.
inline constexpr int kCornerRadius = 8;

}  // namespace artwork
