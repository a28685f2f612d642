#include "ui/toolkit/win32/native_template.h"

#include <cstring>

#include "ui/toolkit/win32/latin1_text.h"

namespace quillet::win32 {

namespace {

// The predefined classes by ordinal, as a resource compiler writes them.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kListBoxClass = 0x0083;
constexpr WORD kComboBoxClass = 0x0085;

WORD classOrdinal(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
        case ControlKind::RadioButton:
        case ControlKind::GroupBox:
            return kButtonClass;
        case ControlKind::EditBox:
            return kEditClass;
        case ControlKind::ListBox:
            return kListBoxClass;
        case ControlKind::DropDownList:
            return kComboBoxClass;
        case ControlKind::StaticText:
        case ControlKind::StaticIcon:
            break;
    }
    return kStaticClass;
}

DWORD kindStyle(const ControlTemplate& control) {
    const unsigned flags = control.flags;
    switch (control.kind) {
        case ControlKind::PushButton:
            return (flags & DefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        case ControlKind::RadioButton:
            return (flags & AutoRadio) ? BS_AUTORADIOBUTTON : BS_RADIOBUTTON;
        case ControlKind::GroupBox:
            return BS_GROUPBOX;
        case ControlKind::StaticText: {
            // SS_LEFT wraps; a text without the flag keeps to one line and is clipped.
            DWORD style = (flags & AlignCenter)  ? SS_CENTER
                          : (flags & AlignRight) ? SS_RIGHT
                          : (flags & WordWrap)   ? SS_LEFT
                                                 : SS_LEFTNOWORDWRAP;
            return (flags & NoPrefix) ? style | SS_NOPREFIX : style;
        }
        case ControlKind::StaticIcon:
            return SS_ICON;
        case ControlKind::EditBox:
            // Never without auto-scroll: the dialog keeps a box that never scrolls to its
            // width itself (no_scroll_edit.h).
            return ES_AUTOHSCROLL | ((flags & AlignCenter) ? ES_CENTER : 0) |
                   ((flags & AlignRight) ? ES_RIGHT : 0);
        case ControlKind::ListBox:
            // The rectangle is the list's size, never rounded to whole entries.
            return LBS_NOINTEGRALHEIGHT | ((flags & Notify) ? LBS_NOTIFY : 0) |
                   ((flags & Sorted) ? LBS_SORT : 0) |
                   ((flags & ScrollBarAlwaysShown) ? LBS_DISABLENOSCROLL : 0);
        case ControlKind::DropDownList:
            return CBS_DROPDOWNLIST | ((flags & Sorted) ? CBS_SORT : 0) |
                   ((flags & ScrollBarAlwaysShown) ? CBS_DISABLENOSCROLL : 0);
    }
    return 0;
}

}  // namespace

DWORD dialogStyle(const DialogTemplate& dialog) {
    const unsigned style = dialog.style;
    DWORD native = WS_POPUP | DS_SETFONT;
    native |= (style & Caption) ? WS_CAPTION : 0;
    native |= (style & SysMenu) ? WS_SYSMENU : 0;
    native |= (style & ModalFrame) ? DS_MODALFRAME : 0;
    native |= (style & CentreOnScreen) ? DS_CENTER : 0;
    return native;
}

DWORD dialogExStyle(const DialogTemplate& dialog) {
    return ((dialog.style & SunkenClientEdge) ? WS_EX_CLIENTEDGE : 0) |
           ((dialog.style & AppWindow) ? WS_EX_APPWINDOW : 0);
}

DWORD controlStyle(const ControlTemplate& control) {
    const unsigned flags = control.flags;
    DWORD style = WS_CHILD | kindStyle(control);
    style |= (flags & Hidden) ? 0 : WS_VISIBLE;
    style |= (flags & Disabled) ? WS_DISABLED : 0;
    style |= (flags & Group) ? WS_GROUP : 0;
    style |= (flags & TabStop) ? WS_TABSTOP : 0;
    style |= (flags & Border) ? WS_BORDER : 0;
    style |= (flags & VScroll) ? WS_VSCROLL : 0;
    return style;
}

NativeTemplate::NativeTemplate(const DialogTemplate& dialog) {
    word(1);       // dlgVer
    word(0xFFFF);  // signature: DLGTEMPLATEEX
    dword(0);      // helpID
    dword(dialogExStyle(dialog));
    dword(dialogStyle(dialog));
    word(static_cast<WORD>(dialog.controls.size()));
    word(0);  // x, y: the toolkit places the window itself
    word(0);
    word(static_cast<WORD>(dialog.width));
    word(static_cast<WORD>(dialog.height));
    word(0);  // no menu
    word(0);  // the standard dialog class
    text(dialog.caption);
    word(static_cast<WORD>(dialog.pointSize));
    word(FW_NORMAL);
    word(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, charset
    text(dialog.fontName);
    for (const ControlTemplate& each : dialog.controls) {
        control(each);
    }
    alignToDword();
    storage_.resize(words_.size() / 2);
    std::memcpy(storage_.data(), words_.data(), words_.size() * sizeof(WORD));
    words_ = {};
}

void NativeTemplate::dword(DWORD value) {
    word(LOWORD(value));
    word(HIWORD(value));
}

void NativeTemplate::text(const char* latin1) {
    for (wchar_t unit : widenLatin1(latin1 != nullptr ? latin1 : "")) {
        word(unit);
    }
    word(0);
}

void NativeTemplate::alignToDword() {
    if (words_.size() % 2 != 0) {
        word(0);
    }
}

void NativeTemplate::control(const ControlTemplate& control) {
    alignToDword();
    dword(0);  // helpID
    dword(0);  // exStyle: a border becomes the sunken client edge in the dialog manager
    dword(controlStyle(control));
    word(static_cast<WORD>(control.rect.x));
    word(static_cast<WORD>(control.rect.y));
    word(static_cast<WORD>(control.rect.width));
    word(static_cast<WORD>(control.rect.height));
    dword(static_cast<DWORD>(control.id));
    word(0xFFFF);
    word(classOrdinal(control.kind));
    if (control.kind == ControlKind::StaticIcon) {
        word(0xFFFF);  // the icon resource by ordinal, from the program's resources
        word(static_cast<WORD>(control.iconId));
    } else {
        text(control.text);
    }
    word(0);  // no creation data
}

}  // namespace quillet::win32
