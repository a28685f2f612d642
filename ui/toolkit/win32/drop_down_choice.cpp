#include "ui/toolkit/win32/drop_down_choice.h"

namespace quillet::win32 {

DropDownChoice::Step DropDownChoice::onNotification(HWND list, WORD code) {
    switch (code) {
        case CBN_DROPDOWN:
            open_ = true;
            confirmed_ = false;
            atOpen_ = SendMessageW(list, CB_GETCURSEL, 0, 0);
            return Step::None;
        case CBN_SELENDOK:
        case CBN_SELENDCANCEL:
            confirmed_ = code == CBN_SELENDOK;
            return Step::None;
        case CBN_CLOSEUP:
            if (!open_) {
                return Step::None;
            }
            open_ = false;
            settling_ = true;
            return Step::SettleLater;
        case CBN_SELCHANGE:
            // While open, and while its closing is still being told (a click tells its
            // selection change last), the steps are not choices.
            return open_ || settling_ ? Step::None : Step::Chosen;
        default:
            return Step::None;
    }
}

bool DropDownChoice::settle(HWND list) {
    if (!settling_) {
        return false;
    }
    settling_ = false;
    if (SendMessageW(list, CB_GETCURSEL, 0, 0) == atOpen_) {
        return false;
    }
    if (!confirmed_) {
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(atOpen_), 0);
        return false;
    }
    return true;
}

}  // namespace quillet::win32
