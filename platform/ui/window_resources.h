#pragma once

// The resources a program's windows load by number: dialog templates (CDialog), menu templates
// (CMenu::LoadMenu) and bitmaps (CBitmap::LoadBitmap). The window layer carries none of its own: each
// program installs its finders when it starts, before its first window, and may remove them after its
// last one. A finder left null finds nothing (a null template, a null image).

#include <QImage>

#include "platform/ui/dialog_template.h"
#include "platform/ui/menu_template.h"

struct WindowResources {
    const DialogTemplate* (*findDialogTemplate)(UINT id) = nullptr;
    const MenuTemplate* (*findMenuTemplate)(UINT id) = nullptr;
    QImage (*loadBitmap)(unsigned id) = nullptr;
};

// Copies the finders (nullptr: none). UI thread, while no window loads a resource.
void SetWindowResources(const WindowResources* resources);

const DialogTemplate* FindWindowDialogTemplate(UINT id);
const MenuTemplate* FindWindowMenuTemplate(UINT id);
QImage LoadWindowBitmap(unsigned id);
