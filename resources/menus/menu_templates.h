#pragma once

#include "platform/ui/menu_template.h"

// The menu template with that resource number, or nullptr.
const MenuTemplate* FindMenuTemplate(UINT id);
