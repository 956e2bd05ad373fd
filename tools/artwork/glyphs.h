#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>

// The pictograms of the buttons and skins, each drawn in a square box with one ink colour.
namespace artwork {

enum class Glyph {
    kNone,
    // PTZ
    kArrowUp,
    kArrowDown,
    kArrowLeft,
    kArrowRight,
    kAutoScan,
    kPlus,
    kMinus,
    kIrisOpen,
    kIrisClose,
    kPresetSet,
    kPresetClear,
    kPresetGoto,
    kSpinUp,
    kSpinDown,
    kOpenAll,
    kCloseAll,
    // Commands
    kPlayback,
    kLogin,
    kLogout,
    kSequence,
    kSnapshot,
    kSetup,
    kStatus,
    kFullScreen,
    kAutoScroll,
    kNextPage,
    kPrevPage,
    kSearch,
    kDownload,
    // Transport
    kPlay,
    kPause,
    kStop,
    kStep,
    kSlow,
    kFast,
    kMinuteBack,
    kMinuteOn,
    // Sound and window
    kSound,
    kMuted,
    kPower,
    kMinimise,
    kMaximise,
    kRestore,
    kClose,
    kTray,
    // Skin labels
    kFocus,
    kZoom,
    kAperture,
    kCamera,
    kCameraOff,
    kFilm,
};

// Draws the pictogram centred in the box (its design is 16 x 16 units, scaled to the box's smaller side).
void DrawGlyph(QPainter& painter, Glyph glyph, const QRectF& box, const QColor& ink);

}  // namespace artwork
