#pragma once

#include "ui/toolkit/dialog_template.h"

namespace quillet {

// Resource numbers of the icons.
inline constexpr int kAppIconId = 128;
inline constexpr int kWarningIconId = 133;

// String resource holding the system-menu entry of the about box.
inline constexpr int kAboutMenuStringId = 101;

// The template with that resource number, or null.
const DialogTemplate* findDialogTemplate(int id);

// The string resource with that number; empty when there is none.
const char* loadStringResource(int id);

}  // namespace quillet
