#pragma once

#include <span>

namespace quillet {

// The OK and Cancel buttons of every window, and the results of ending with them.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// A dialog described as data, the way a resource script describes it. Rectangles and sizes
// are in dialog units; the builder turns them into pixels with the dialog font's base units.

enum class ControlKind {
    PushButton,
    RadioButton,
    GroupBox,
    StaticText,
    StaticIcon,
    EditBox,
    ListBox,
    DropDownList,
};

// Control flags; several combine with |.
enum ControlFlag : unsigned {
    TabStop = 1u << 0,
    Group = 1u << 1,     // starts a group (radio buttons, arrow-key navigation)
    Hidden = 1u << 2,    // not visible when created
    Disabled = 1u << 3,  // disabled when created
    DefaultButton = 1u << 4,
    AutoRadio = 1u << 5,  // checks itself and clears the others of its group
    WordWrap = 1u << 6,
    NoPrefix = 1u << 7,  // an ampersand is shown as it is
    AlignCenter = 1u << 8,
    AlignRight = 1u << 9,  // neither: left-aligned
    Border = 1u << 10,
    VScroll = 1u << 11,
    ScrollBarAlwaysShown = 1u << 12,  // shown even while not needed (then disabled)
    Notify = 1u << 13,                // a list box reports selection changes
    NoHScroll = 1u << 14,  // an edit box that never scrolls and takes no more than it shows
    Sorted = 1u << 15,
};

struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ControlTemplate {
    int id = -1;  // -1: no operation addresses the control
    ControlKind kind = ControlKind::StaticText;
    const char* text = "";  // caption or initial text; ignored by icons
    int iconId = 0;         // static icons only
    DialogRect rect;
    unsigned flags = 0;
    std::span<const char* const> items = {};  // initial entries of a list
    // What a screen reader calls the control where the platform's own rule (a buddy label,
    // the static text before it) would give none or a wrong one; null: that rule's name.
    const char* accessibleName = nullptr;
};

// Dialog style flags.
enum DialogStyle : unsigned {
    Caption = 1u << 0,
    SysMenu = 1u << 1,  // window menu and close box
    ModalFrame = 1u << 2,
    VisibleAtCreation = 1u << 3,
    CentreOnScreen = 1u << 4,
    SunkenClientEdge = 1u << 5,
    AppWindow = 1u << 6,  // a taskbar button of its own
    Alert = 1u << 7,      // a screen reader presents it as an alert, as a message box
};

struct DialogTemplate {
    int id = 0;
    const char* caption = "";
    int width = 0;
    int height = 0;
    const char* fontName = "MS Sans Serif";
    int pointSize = 8;
    unsigned style = 0;
    std::span<const ControlTemplate> controls = {};  // template order, which is tab order
};

// The control with that id in the template, or null.
inline const ControlTemplate* findControlTemplate(const DialogTemplate& dialog, int id) {
    for (const ControlTemplate& control : dialog.controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

}  // namespace quillet
