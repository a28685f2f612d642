// Every window's layout in one place, as a resource script holds them.
#include "ui/resources/dialog_templates.h"

#include "ui/resources/resource_ids.h"

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
    {.id = kIdOk,
     .kind = ControlKind::PushButton,
     .text = "OK",
     .rect = {178, 7, 50, 14},
     .flags = kDefaultPushButton | Group},
};

constexpr ControlTemplate kMainWindowControls[] = {
    {.id = kIdOk,
     .kind = ControlKind::PushButton,
     .text = "OK",
     .rect = {192, 156, 50, 14},
     .flags = kDefaultPushButton},
    {.id = kIdCancel,
     .kind = ControlKind::PushButton,
     .text = "Cancel",
     .rect = {246, 156, 50, 14},
     .flags = kPushButton},
    {.id = control::kPrintTestPage,
     .kind = ControlKind::PushButton,
     .text = "Print Test Page",
     .rect = {19, 124, 86, 14},
     .flags = kPushButton},
    {.id = control::kModify,
     .kind = ControlKind::PushButton,
     .text = "Modify...",
     .rect = {242, 124, 53, 14},
     .flags = kPushButton},
    {.id = control::kSetDefaults,
     .kind = ControlKind::PushButton,
     .text = "Set Defaults",
     .rect = {19, 156, 59, 14},
     .flags = kPushButton},
    {.id = control::kHeaderList,
     .kind = ControlKind::ListBox,
     .text = "",
     .rect = {15, 25, 284, 95},
     .flags = Notify | Border | VScroll | ScrollBarAlwaysShown | TabStop,
     // Its two labels stand after it in tab order, so no label rule reaches them.
     .accessibleName = "Message: Current Setting:"},
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
    {.id = kIdOk,
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
    {.id = control::kCom1,
     .kind = ControlKind::RadioButton,
     .text = "COM1",
     .rect = {31, 35, 36, 10},
     .flags = AutoRadio | Group},
    {.id = control::kCom2,
     .kind = ControlKind::RadioButton,
     .text = "COM2",
     .rect = {93, 35, 36, 10},
     .flags = AutoRadio},
    // Starts a group so that the arrow keys stay on the two ports.
    {.id = kIdCancel,
     .kind = ControlKind::PushButton,
     .text = "Cancel",
     .rect = {89, 58, 52, 14},
     .flags = kPushButton | Group},
};

constexpr ControlTemplate kFailureNoticeControls[] = {
    {.id = kIdOk,
     .kind = ControlKind::PushButton,
     .text = "OK",
     .rect = {146, 49, 50, 14},
     .flags = kDefaultPushButton},
    {.id = -1, .kind = ControlKind::StaticIcon, .iconId = kWarningIconId, .rect = {15, 14, 20, 20}},
    {.id = control::kFailureMessage,
     .kind = ControlKind::StaticText,
     .text = "Static",
     .rect = {50, 13, 140, 34},
     .flags = WordWrap},
};

constexpr const char* kAlignmentNames[] = {"Left", "Center", "Right"};

constexpr ControlTemplate kHeaderEditorControls[] = {
    {.id = kIdOk,
     .kind = ControlKind::PushButton,
     .text = "OK",
     .rect = {87, 133, 50, 14},
     .flags = kDefaultPushButton},
    {.id = kIdCancel,
     .kind = ControlKind::PushButton,
     .text = "Cancel",
     .rect = {143, 133, 50, 14},
     .flags = kPushButton},
    {.id = control::kEditorFrame,
     .kind = ControlKind::GroupBox,
     .text = "",
     .rect = {17, 7, 237, 108}},
    {.id = control::kApply,
     .kind = ControlKind::PushButton,
     .text = "Apply",
     .rect = {199, 133, 50, 14},
     .flags = kPushButton},
    {.id = control::kTextLabel,
     .kind = ControlKind::StaticText,
     .text = "Text",
     .rect = {23, 26, 15, 8}},
    {.id = control::kTextBox,
     .kind = ControlKind::EditBox,
     .text = "",
     .rect = {43, 23, 202, 16},
     .flags = Border | NoHScroll | TabStop,
     .accessibleName = "Text"},
    {.id = -1, .kind = ControlKind::GroupBox, .text = "Font", .rect = {44, 47, 149, 26}},
    {.id = -1, .kind = ControlKind::GroupBox, .text = "Alignment", .rect = {44, 78, 149, 25}},
    {.id = control::kFontList,
     .kind = ControlKind::DropDownList,
     .text = "",
     .rect = {44, 60, 149, 57},
     .flags = VScroll | TabStop,
     // The group boxes that title the lists are buttons to the label rule, not labels.
     .accessibleName = "Font"},
    {.id = control::kAlignmentList,
     .kind = ControlKind::DropDownList,
     .text = "",
     .rect = {44, 91, 149, 40},
     .flags = VScroll | TabStop,
     .items = kAlignmentNames,
     .accessibleName = "Alignment"},
    {.id = control::kTooLongMessage,
     .kind = ControlKind::StaticText,
     .text = "Message is too long to fit in one line and has been truncated!!!",
     .rect = {43, 119, 199, 8},
     .flags = Hidden},
    {.id = control::kUnprintableMessage,
     .kind = ControlKind::StaticText,
     .text = "Unprintable character is found and eliminated!!!",
     .rect = {43, 118, 206, 10},
     .flags = Hidden},
    {.id = control::kWarningIcon,
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

constexpr DialogTemplate kAboutBox{.id = kAboutBoxId,
                                   .caption = "About Quillet",
                                   .width = 235,
                                   .height = 55,
                                   .style = Caption | SysMenu | ModalFrame,
                                   .controls = kAboutBoxControls};

constexpr DialogTemplate kMainWindow{
    .id = kMainWindowId,
    .caption = "Quillet",
    .width = 313,
    .height = 183,
    .style = Caption | SysMenu | ModalFrame | VisibleAtCreation | AppWindow,
    .controls = kMainWindowControls};

constexpr DialogTemplate kPortSelection{.id = kPortSelectionId,
                                        .caption = "Select Serial Port",
                                        .width = 166,
                                        .height = 86,
                                        .style = Caption | ModalFrame,
                                        .controls = kPortSelectionControls};

constexpr DialogTemplate kFailureNotice{.id = kFailureNoticeId,
                                        .caption = "Operation Failure",
                                        .width = 203,
                                        .height = 70,
                                        .style = Caption | ModalFrame | SunkenClientEdge | Alert,
                                        .controls = kFailureNoticeControls};

constexpr DialogTemplate kHeaderEditor{.id = kHeaderEditorId,
                                       .caption = "Header Message",
                                       .width = 272,
                                       .height = 154,
                                       .style = Caption | SysMenu | ModalFrame,
                                       .controls = kHeaderEditorControls};

constexpr DialogTemplate kWaitWindow{
    .id = kWaitWindowId,
    .caption = "Wait...",
    .width = 186,
    .height = 50,
    .style = Caption | SysMenu | ModalFrame | VisibleAtCreation | CentreOnScreen,
    .controls = kWaitWindowControls};

constexpr const DialogTemplate* kDialogTemplates[] = {
    &kAboutBox, &kMainWindow, &kPortSelection, &kFailureNotice, &kHeaderEditor, &kWaitWindow,
};

}  // namespace

std::span<const DialogTemplate* const> dialogTemplates() {
    return kDialogTemplates;
}

}  // namespace quillet
