#pragma once

// Resource numbers shared by the dialog templates, the windows, the tests and the Windows
// resource script. Plain definitions, because the resource compiler reads only those.

// Dialogs
#define QUILLET_IDD_ABOUT_BOX 100
#define QUILLET_IDD_MAIN_WINDOW 102
#define QUILLET_IDD_PORT_SELECTION 130
#define QUILLET_IDD_FAILURE_NOTICE 131
#define QUILLET_IDD_HEADER_EDITOR 135
#define QUILLET_IDD_WAIT_WINDOW 137

// Icons
#define QUILLET_IDI_APP 128
#define QUILLET_IDI_WARNING 133

// Strings
#define QUILLET_IDS_ABOUT_MENU 101
#define QUILLET_ABOUT_MENU_TEXT "&About Quillet..."

#ifndef RC_INVOKED

namespace quillet {

inline constexpr int kAboutBoxId = QUILLET_IDD_ABOUT_BOX;
inline constexpr int kMainWindowId = QUILLET_IDD_MAIN_WINDOW;
inline constexpr int kPortSelectionId = QUILLET_IDD_PORT_SELECTION;
inline constexpr int kFailureNoticeId = QUILLET_IDD_FAILURE_NOTICE;
inline constexpr int kHeaderEditorId = QUILLET_IDD_HEADER_EDITOR;
inline constexpr int kWaitWindowId = QUILLET_IDD_WAIT_WINDOW;

inline constexpr int kAppIconId = QUILLET_IDI_APP;
inline constexpr int kWarningIconId = QUILLET_IDI_WARNING;

inline constexpr int kAboutMenuStringId = QUILLET_IDS_ABOUT_MENU;

// Controls. 1 and 2 are OK and Cancel in every window (kIdOk, kIdCancel).
namespace control {
// Main window
inline constexpr int kPrintTestPage = 1001;
inline constexpr int kModify = 1002;
inline constexpr int kSetDefaults = 1003;
inline constexpr int kHeaderList = 1031;
// Port selection window
inline constexpr int kCom1 = 1021;
inline constexpr int kCom2 = 1022;
// Failure notice
inline constexpr int kFailureMessage = 1023;
// Header editor
inline constexpr int kApply = 1000;
inline constexpr int kEditorFrame = 1011;
inline constexpr int kTextLabel = 1012;
inline constexpr int kTextBox = 1013;
inline constexpr int kFontList = 1028;
inline constexpr int kAlignmentList = 1029;
inline constexpr int kTooLongMessage = 1033;
inline constexpr int kUnprintableMessage = 1034;
inline constexpr int kWarningIcon = 1037;
}  // namespace control

}  // namespace quillet

#endif  // RC_INVOKED
