#pragma once

#include <windows.h>

#include <string>

namespace quillet::win32 {

// An edit box whose template asks it never to scroll. The native control is made with
// auto-scroll all the same: without it, any change to a text already wider than the box
// goes wrong (Wine drops the typed character and the one before the caret, and deleting
// at the start reads before its buffer). What the template asks for is kept here, as the
// Qt backend keeps it: of the user's insertion the box takes only what its width still
// shows; a text wider than the box, which only code sets, the user may shorten but not
// widen, and the box scrolls to the part being edited; code may set any text.
class NoScrollEdit {
  public:
    explicit NoScrollEdit(HWND box);

    // On each EN_UPDATE of the box: false when the change was the user's and the box
    // refused it whole, or the update is the box's own putting back; the content is then
    // as it was before.
    bool admitChange(HWND box);

  private:
    void putText(HWND box, const std::wstring& text, int selStart, int selEnd);

    std::wstring shown_;  // the content after the last admitted change
    bool putting_ = false;
};

// While one exists, changes of an edit box's content are the program's, not the user's.
class ChangeByCode {
  public:
    ChangeByCode() { ++depth_; }
    ~ChangeByCode() { --depth_; }
    ChangeByCode(const ChangeByCode&) = delete;
    ChangeByCode& operator=(const ChangeByCode&) = delete;

    static bool active() { return depth_ > 0; }

  private:
    static inline int depth_ = 0;
};

}  // namespace quillet::win32
