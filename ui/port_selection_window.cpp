#include "ui/port_selection_window.h"

namespace quillet {
namespace {

constexpr int kTemplateId = 130;
constexpr int kCom1Button = 1021;
constexpr int kChoseCom1 = 0;
constexpr int kChoseCom2 = 1;

}  // namespace

PortSelectionWindow::PortSelectionWindow() : Dialog(kTemplateId) {}

bool PortSelectionWindow::doDataExchange() {
    return bindControl(kCom1Button, com1_);
}

bool PortSelectionWindow::onInitDialog() {
    Dialog::onInitDialog();
    if (com1_ != nullptr) {
        com1_->setChecked(true);
    }
    return true;
}

void PortSelectionWindow::onOK() {
    if (!updateData()) {
        return;
    }
    endDialog(com1_->isChecked() ? kChoseCom1 : kChoseCom2);
}

}  // namespace quillet
