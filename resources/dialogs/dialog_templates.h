#pragma once

#include <span>

#include "platform/ui/dialog_template.h"

// The dialog template with that resource number, or nullptr.
const DialogTemplate* FindDialogTemplate(UINT id);
// Every dialog template of the client.
std::span<const DialogTemplate* const> AllDialogTemplates();
