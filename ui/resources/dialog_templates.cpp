// Every window's layout, string and icon number in one place, as a resource script holds them.
#include "ui/resources/dialog_templates.h"

#include <array>

namespace quillet {
namespace {

constexpr unsigned kPushButton = TabStop;
constexpr unsigned kDefaultPushButton = TabStop | DefaultButton;

constexpr ControlTemplate kAboutBoxControls[] = {
    {.id = -1, .kind = ControlKind::StaticIcon, .iconId = kAppIconId, .rect = {11, 17, 21, 20}},
    {.id = -1,
     .kind = ControlKind::StaticText,
     .text = "Quillet (for KV-31)     v1.0",
     .rect = {40, 10, 119, 8},
     .flags = NoPrefix | Group},
    {.id = 1,
     .kind = ControlKind::PushButton,
     .text = "OK",
     .rect = {178, 7, 50, 14},
     .flags = kDefaultPushButton | Group},
};

constexpr ControlTemplate kMainWindowControls[] = {
    {.id = 1,
     .kind = ControlKind::PushButton,
     .text = "OK",
     .rect = {192, 156, 50, 14},
     .flags = kDefaultPushButton},
    {.id = 2,
     .kind = ControlKind::PushButton,
     .text = "Cancel",
     .rect = {246, 156, 50, 14},
     .flags = kPushButton},
    {.id = 1001,
     .kind = ControlKind::PushButton,
     .text = "Print Test Page",
     .rect = {19, 124, 86, 14},
     .flags = kPushButton},
    {.id = 1002,
     .kind = ControlKind::PushButton,
     .text = "Modify...",
     .rect = {242, 124, 53, 14},
     .flags = kPushButton},
    {.id = 1003,
     .kind = ControlKind::PushButton,
     .text = "Set Defaults",
     .rect = {19, 156, 59, 14},
     .flags = kPushButton},
    {.id = 1031,
     .kind = ControlKind::ListBox,
     .text = "",
     .rect = {15, 25, 284, 95},
     .flags = Notify | Border | VScroll | ScrollBarAlwaysShown | TabStop},
    {.id = -1,
     .kind = ControlKind::StaticText,
     .text = "Message:",
     .rect = {21, 16, 32, 8},
     .flags = Group},
    {.id = -1,
     .kind = ControlKind::StaticText,
     .text = "Current Setting:",
     .rect = {105, 16, 50, 8},
     .flags = Group},
};

constexpr ControlTemplate kPortSelectionControls[] = {
    {.id = 1,
     .kind = ControlKind::PushButton,
     .text = "OK",
     .rect = {25, 58, 50, 14},
     .flags = kDefaultPushButton},
    {.id = -1,
     .kind = ControlKind::StaticText,
     .text = "Select the serial port connected to the KV-31 Printer",
     .rect = {25, 7, 115, 20},
     .flags = AlignCenter | WordWrap | Group},
    {.id = -1,
     .kind = ControlKind::GroupBox,
     .text = "",
     .rect = {17, 31, 136, 17},
     .flags = Hidden | Disabled},
    {.id = 1021,
     .kind = ControlKind::RadioButton,
     .text = "COM1",
     .rect = {31, 35, 36, 10},
     .flags = AutoRadio | Group},
    {.id = 1022,
     .kind = ControlKind::RadioButton,
     .text = "COM2",
     .rect = {93, 35, 36, 10},
     .flags = AutoRadio},
    {.id = 2,
     .kind = ControlKind::PushButton,
     .text = "Cancel",
     .rect = {89, 58, 52, 14},
     .flags = kPushButton},
};

constexpr ControlTemplate kFailureNoticeControls[] = {
    {.id = 1,
     .kind = ControlKind::PushButton,
     .text = "OK",
     .rect = {146, 49, 50, 14},
     .flags = kDefaultPushButton},
    {.id = -1, .kind = ControlKind::StaticIcon, .iconId = kWarningIconId, .rect = {15, 14, 20, 20}},
    {.id = 1023,
     .kind = ControlKind::StaticText,
     .text = "Static",
     .rect = {50, 13, 140, 34},
     .flags = WordWrap},
};

constexpr const char* kAlignmentNames[] = {"Left", "Center", "Right"};

constexpr ControlTemplate kHeaderEditorControls[] = {
    {.id = 1,
     .kind = ControlKind::PushButton,
     .text = "OK",
     .rect = {87, 133, 50, 14},
     .flags = kDefaultPushButton},
    {.id = 2,
     .kind = ControlKind::PushButton,
     .text = "Cancel",
     .rect = {143, 133, 50, 14},
     .flags = kPushButton},
    {.id = 1011, .kind = ControlKind::GroupBox, .text = "", .rect = {17, 7, 237, 108}},
    {.id = 1000,
     .kind = ControlKind::PushButton,
     .text = "Apply",
     .rect = {199, 133, 50, 14},
     .flags = kPushButton},
    {.id = 1012, .kind = ControlKind::StaticText, .text = "Text", .rect = {23, 26, 15, 8}},
    {.id = 1013,
     .kind = ControlKind::EditBox,
     .text = "",
     .rect = {43, 23, 202, 16},
     .flags = Border | NoHScroll | TabStop},
    {.id = -1, .kind = ControlKind::GroupBox, .text = "Font", .rect = {44, 47, 149, 26}},
    {.id = -1, .kind = ControlKind::GroupBox, .text = "Alignment", .rect = {44, 78, 149, 25}},
    {.id = 1028,
     .kind = ControlKind::DropDownList,
     .text = "",
     .rect = {44, 60, 149, 57},
     .flags = VScroll | TabStop},
    {.id = 1029,
     .kind = ControlKind::DropDownList,
     .text = "",
     .rect = {44, 91, 149, 40},
     .flags = VScroll | TabStop,
     .items = kAlignmentNames},
    {.id = 1033,
     .kind = ControlKind::StaticText,
     .text = "Message is too long to fit in one line and has been truncated!!!",
     .rect = {43, 119, 199, 8},
     .flags = Hidden},
    {.id = 1034,
     .kind = ControlKind::StaticText,
     .text = "Unprintable character is found and eliminated!!!",
     .rect = {43, 118, 206, 10},
     .flags = Hidden},
    {.id = 1037,
     .kind = ControlKind::StaticIcon,
     .iconId = kWarningIconId,
     .rect = {213, 74, 21, 20}},
};

constexpr ControlTemplate kWaitWindowControls[] = {
    {.id = -1,
     .kind = ControlKind::StaticText,
     .text = "Communicating with Printer.  Please wait...",
     .rect = {21, 18, 145, 12}},
};

constexpr std::array kDialogTemplates = {
    DialogTemplate{.id = 100,
                   .caption = "About Quillet",
                   .width = 235,
                   .height = 55,
                   .style = Caption | SysMenu | ModalFrame,
                   .controls = kAboutBoxControls},
    DialogTemplate{.id = 102,
                   .caption = "Quillet",
                   .width = 313,
                   .height = 183,
                   .style = Caption | SysMenu | ModalFrame | VisibleAtCreation | AppWindow,
                   .controls = kMainWindowControls},
    DialogTemplate{.id = 130,
                   .caption = "Select Serial Port",
                   .width = 166,
                   .height = 86,
                   .style = Caption | ModalFrame,
                   .controls = kPortSelectionControls},
    DialogTemplate{.id = 131,
                   .caption = "Operation Failure",
                   .width = 203,
                   .height = 70,
                   .style = Caption | ModalFrame | SunkenClientEdge,
                   .controls = kFailureNoticeControls},
    DialogTemplate{.id = 135,
                   .caption = "Header Message",
                   .width = 272,
                   .height = 154,
                   .style = Caption | SysMenu | ModalFrame,
                   .controls = kHeaderEditorControls},
    DialogTemplate{.id = 137,
                   .caption = "Wait...",
                   .width = 186,
                   .height = 50,
                   .style = Caption | SysMenu | ModalFrame | VisibleAtCreation | CentreOnScreen,
                   .controls = kWaitWindowControls},
};

}  // namespace

const DialogTemplate* findDialogTemplate(int id) {
    for (const DialogTemplate& t : kDialogTemplates) {
        if (t.id == id) {
            return &t;
        }
    }
    return nullptr;
}

const char* loadStringResource(int id) {
    return id == kAboutMenuStringId ? "&About Quillet..." : "";
}

}  // namespace quillet
