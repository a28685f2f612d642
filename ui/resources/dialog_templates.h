#pragma once

#include <span>

#include "ui/toolkit/dialog_template.h"

namespace quillet {

// The six windows' templates, as a resource script would hold them.
std::span<const DialogTemplate* const> dialogTemplates();

}  // namespace quillet
