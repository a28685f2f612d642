#pragma once

#include <string>
#include <string_view>

#include "ui/toolkit/dialog_template.h"

namespace quillet {

// Handles to the controls of an open dialog window, with exactly the operations the windows
// use, named after the dialog manager's messages. A handle is bound by the dialog's data
// exchange and is valid while the window exists; an unbound handle does nothing and reads
// as empty.
//
// Text crosses this interface as bytes, one byte per character as the printer stores it,
// and is shown as Latin-1. A character the user enters that Latin-1 cannot hold reads back
// as DEL (127), which no rule admits.
//
// Each backend defines these members in its own file.

class Control {
  public:
    // Any kind: a plain Control reads the text, visibility and state of any control.
    static bool accepts(ControlKind) { return true; }

    bool isBound() const { return native_ != nullptr; }

    // ShowWindow
    void show(bool visible);
    bool isVisible() const;
    // EnableWindow
    void setEnabled(bool enabled);
    bool isEnabled() const;
    // SetWindowText / GetWindowText
    void setText(std::string_view text);
    std::string text() const;

    // The backend's control; null while unbound.
    void* native() const { return native_; }
    // Used by the dialog's binding only.
    void attach(void* native) { native_ = native; }

  private:
    void* native_ = nullptr;
};

// Push buttons and radio buttons.
class ButtonControl : public Control {
  public:
    static bool accepts(ControlKind kind) {
        return kind == ControlKind::PushButton || kind == ControlKind::RadioButton;
    }
    // BM_GETCHECK / BM_SETCHECK
    bool isChecked() const;
    void setChecked(bool checked);
};

// Static texts, static icons and group boxes.
class StaticControl : public Control {
  public:
    static bool accepts(ControlKind kind) {
        return kind == ControlKind::StaticText || kind == ControlKind::StaticIcon ||
               kind == ControlKind::GroupBox;
    }
    // Tells a screen reader, once, as an alert, the text a message has just shown (a warning
    // the user did not ask for would otherwise go unheard). EVENT_SYSTEM_ALERT on Win32.
    void announce();
};

// A one-line edit box. Every change of its content, by the user or by these operations,
// raises TextUpdated synchronously, inside the call that made it, before it returns.
class EditControl : public Control {
  public:
    static bool accepts(ControlKind kind) { return kind == ControlKind::EditBox; }

    // EM_GETLINE: copies at most maxChars characters of the line into buffer, with no
    // terminator; returns the number copied.
    int getLine(char* buffer, int maxChars) const;
    // EM_SETSEL: selects from start up to end; an end of -1 (or past the text) selects to
    // the end of the text.
    void setSelection(int start, int end);
    // WM_CLEAR: deletes the selection.
    void clearSelection();
    // EM_REPLACESEL with no undo: replaces the selection; the caret ends after the text.
    void replaceSelection(std::string_view text);
};

// A list box with single selection.
class ListBoxControl : public Control {
  public:
    static bool accepts(ControlKind kind) { return kind == ControlKind::ListBox; }

    // LB_RESETCONTENT, LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_GETCOUNT,
    // LB_GETTEXT
    void resetContent();
    void addString(std::string_view text);
    void insertString(int index, std::string_view text);
    void deleteString(int index);
    int count() const;
    std::string itemText(int index) const;
    // LB_GETCURSEL: -1 when nothing is selected. LB_SETCURSEL: -1 selects nothing; never
    // raises SelectionChanged.
    int currentSelection() const;
    void setCurrentSelection(int index);
};

// A drop-down list (a combo box with no edit field).
class DropDownControl : public Control {
  public:
    static bool accepts(ControlKind kind) { return kind == ControlKind::DropDownList; }

    // CB_RESETCONTENT, CB_ADDSTRING, CB_GETCOUNT, CB_GETLBTEXT
    void resetContent();
    void addString(std::string_view text);
    int count() const;
    std::string itemText(int index) const;
    // CB_GETCURSEL: -1 when nothing is selected. CB_SETCURSEL: -1 selects nothing; never
    // raises SelectionChanged.
    int currentSelection() const;
    void setCurrentSelection(int index);
    // CB_SETTOPINDEX: the entry shown first when the list is open.
    void setTopIndex(int index);
};

}  // namespace quillet
