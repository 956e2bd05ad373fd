#pragma once

// Reading a template dialog of the real program off the screen: where its controls stand (from the same
// templates and dialog font the program uses), whether a text is shown in a place (compared with the text
// drawn here in the dialog font, dark pixels against dark pixels), and how often a small picture occurs.
// The text drawing needs a QGuiApplication in this process: EnsureGuiApplication makes one (offscreen).

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include "platform/system/win_types.h"

// Makes this process's QApplication on the offscreen platform when there is none yet.
void EnsureGuiApplication();

// The pixel size of a template's client area; empty for an unknown template.
QSize TemplatePixelSize(UINT templateId);
// Where control controlId of a template stands on the screen when the dialog's client area starts at
// origin; empty when the template or the control is unknown.
QRect TemplateControlRect(QPoint origin, UINT templateId, UINT controlId);

// The top-left corner of text drawn in the dialog font inside area of picture, or (-1, -1) when it is
// not there: a place where the dark pixels of the text and of the picture agree but for a few (each may
// stand a pixel to the side).
QPoint FindText(const QImage& picture, const QRect& area, const QString& text);

// Where control id of the program's main window stands on the screen when the window covers rect of a
// screen screenWidth pixels wide (empty when the control is not shown).
QRect MainWindowControlRect(const QRect& window, UINT id, int screenWidth);

// The device tree's item picture of that bitmap number (16 x 16; black is its transparent colour).
QImage TreeIcon(int bitmap);

// How often icon shows in picture: places where every pixel of the icon but its black (transparent)
// ones is there as it is.
int CountIcon(const QImage& picture, const QImage& icon);
