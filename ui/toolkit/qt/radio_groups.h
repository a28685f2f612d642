#pragma once

#include <vector>

#include "ui/toolkit/qt/dialog_builder.h"

class QWidget;

namespace quillet {

// Gathers the automatic radio buttons between two group starts into exclusive groups that
// the keyboard uses as the dialog manager's do: the checked button of a group is its tab
// stop, and the arrow keys move to the next or previous button of the group and check it.
void groupRadioButtons(QWidget& dialog, const std::vector<BuiltControl>& controls);

}  // namespace quillet
