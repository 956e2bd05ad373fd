#pragma once

#include "platform/ui/dialog_template.h"

// The dialog template with that resource number, or nullptr.
const DialogTemplate* FindDialogTemplate(UINT id);
