#include "ui/port_selection_window.h"

#include "ui/resources/resource_ids.h"

namespace quillet {

PortSelectionWindow::PortSelectionWindow() : Dialog(kPortSelectionId) {}

bool PortSelectionWindow::doDataExchange() {
    return bindControl(control::kCom1, com1_);
}

bool PortSelectionWindow::onInitDialog() {
    Dialog::onInitDialog();
    com1_.setChecked(true);
    return true;
}

void PortSelectionWindow::onOK() {
    if (!updateData()) {
        return;
    }
    endDialog(com1_.isChecked() ? kChoseCom1 : kChoseCom2);
}

}  // namespace quillet
