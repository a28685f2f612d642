#pragma once

#include <windows.h>

namespace quillet::win32 {

// The user's choice in a drop-down list. Every arrow step in the open list changes its
// selection and says so; only the entry the list closes on is chosen (Enter, a click, the
// list closed on it), once the closing is over. Esc or the focus leaving puts back the
// entry it opened on. In the closed list each change (arrow keys, a letter) is a choice.
class DropDownChoice {
  public:
    enum class Step { None, Chosen, SettleLater };

    // For each notification of the list: Chosen when the user has just chosen; SettleLater
    // when the list has closed, and settle() is to be called after the notifications of
    // its closing.
    Step onNotification(HWND list, WORD code);
    // True when the entry the list closed on is another one than it opened on, and chosen.
    bool settle(HWND list);

  private:
    bool open_ = false;
    bool settling_ = false;
    bool confirmed_ = false;
    LRESULT atOpen_ = CB_ERR;
};

}  // namespace quillet::win32
