#pragma once

class QWidget;

// Centres a top-level window on the window that owns it (its parent's top-level window), as owned dialogs
// and message boxes without a place of their own open. A window without an owner, one that is not
// top-level and one moved by the program keep their place.
void CentreOnOwner(QWidget* window);
