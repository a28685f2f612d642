// The toolkit's Win32 backend on the real dialog manager (under Wine, on its own X server):
// what only a dialog manager shows, on Quillet's own templates.

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <functional>
#include <string>
#include <vector>

#include "tests/win32/message_steps.h"
#include "ui/resources/resource_catalog.h"
#include "ui/resources/resource_ids.h"
#include "ui/toolkit/paint_context.h"
#include "ui/toolkit/testing/dialog_testing.h"
#include "ui/toolkit/win32/dialog_window.h"

namespace quillet::wine {
namespace {

HWND handleOf(const Dialog& dialog) {
    return dialogWindow(dialog) != nullptr ? dialogWindow(dialog)->handle() : nullptr;
}

HWND handleOf(const Control& control) {
    return static_cast<HWND>(control.native());
}

std::string lineOf(const EditControl& box) {
    char line[151];
    return std::string(line, static_cast<std::size_t>(box.getLine(line, 150)));
}

// A dialog on one of Quillet's templates with the checks' own handlers in its map.
class Probe : public TemplateDialog {
  public:
    explicit Probe(int templateId) : TemplateDialog(templateId) {}
    explicit Probe(const DialogTemplate& dialogTemplate) : TemplateDialog(dialogTemplate) {}

    std::function<bool()> init;
    std::function<bool(PaintContext&)> paint;
    Icon dragIcon;
    std::function<void()> textUpdated;
    std::function<void()> selectionChanged;
    std::vector<int> sysCommands;
    bool handleSysCommands = false;

  protected:
    bool onInitDialog() override {
        Dialog::onInitDialog();
        return init ? init() : true;
    }
    bool onPaint(PaintContext& context) override { return paint ? paint(context) : false; }
    Icon onQueryDragIcon() override { return dragIcon; }
    void onSysCommand(int id) override {
        sysCommands.push_back(id);
        if (!handleSysCommands || id == SC_CLOSE) {
            Dialog::onSysCommand(id);
        }
    }
    MessageMap messageMap() const override {
        static const MessageEntry kMap[] = {
            {control::kTextBox, Notification::TextUpdated, handler(&Probe::onText)},
            {control::kAlignmentList, Notification::SelectionChanged, handler(&Probe::onSelect)},
            {control::kHeaderList, Notification::SelectionChanged, handler(&Probe::onSelect)},
        };
        return kMap;
    }

  private:
    void onText() {
        if (textUpdated) {
            textUpdated();
        }
    }
    void onSelect() {
        if (selectionChanged) {
            selectionChanged();
        }
    }
};

// Windows shown on this thread, from WM_SHOWWINDOW and SWP_SHOWWINDOW as they happen.
std::vector<HWND>& shownWindows() {
    static std::vector<HWND> shown;
    return shown;
}

LRESULT CALLBACK recordShows(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION &&
        ((message->message == WM_SHOWWINDOW && message->wParam) ||
         (message->message == WM_WINDOWPOSCHANGING &&
          (reinterpret_cast<const WINDOWPOS*>(message->lParam)->flags & SWP_SHOWWINDOW)))) {
        shownWindows().push_back(message->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class DialogManager : public ::testing::Test {
  protected:
    void SetUp() override {
        // As the application does: the program's manifest asks for common controls 6.
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        installResources(quilletResources());
        shownWindows().clear();
        hook_ = SetWindowsHookExW(WH_CALLWNDPROC, &recordShows, nullptr, GetCurrentThreadId());
    }
    void TearDown() override {
        UnhookWindowsHookEx(hook_);
        Dialog::setMainWindow(nullptr);
    }
    static bool wasShown(HWND window) {
        for (HWND shown : shownWindows()) {
            if (shown == window) {
                return true;
            }
        }
        return false;
    }

  private:
    HHOOK hook_ = nullptr;
};

TEST_F(DialogManager, ARevertRaisesItsUpdateInsideTheReplacementThatMadeIt) {
    Probe editor(kHeaderEditorId);
    EditControl box;
    std::string accepted;
    std::vector<std::string> events;
    int depth = 0;
    editor.textUpdated = [&] {
        const std::string text = lineOf(box);
        events.push_back(std::string(depth, '>') + text);
        if (text.find('x') == std::string::npos) {
            accepted = text;
            return;
        }
        ++depth;
        box.setSelection(0, -1);
        box.replaceSelection(accepted);
        --depth;
        events.push_back("reverted");
    };
    editor.init = [&] {
        box = controlHandle<EditControl>(editor, control::kTextBox);
        box.setText("AB");
        EXPECT_EQ(events, std::vector<std::string>{"AB"})
            << "the update comes inside SetWindowText";
        box.setSelection(1, 2);
        box.clearSelection();
        EXPECT_EQ(events.back(), "A") << "and inside WM_CLEAR";
        box.replaceSelection("B");
        events.clear();
        return true;
    };
    std::string shown;
    MessageSteps steps({[&] {
                            SetFocus(handleOf(box));
                            postChar(handleOf(box), L'x');
                        },
                        [&] {
                            shown = box.text();
                            editor.endDialog(kIdOk);
                        }});
    EXPECT_EQ(editor.runModal(), kIdOk);
    // Typed at the end: the outer update sees ABx, the nested one AB before the
    // replacement returns.
    EXPECT_EQ(events, (std::vector<std::string>{"ABx", ">AB", "reverted"}));
    EXPECT_EQ(shown, "AB");
}

TEST_F(DialogManager, SelectingByCodeNotifiesNothingAndTheUsersChoiceDoes) {
    Probe editor(kHeaderEditorId);
    DropDownControl alignment;
    int changes = 0;
    editor.selectionChanged = [&] { ++changes; };
    editor.init = [&] {
        alignment = controlHandle<DropDownControl>(editor, control::kAlignmentList);
        EXPECT_EQ(alignment.count(), 3) << "filled from the template before initialisation";
        EXPECT_EQ(alignment.itemText(1), "Center");
        alignment.setCurrentSelection(1);
        alignment.setTopIndex(1);
        EXPECT_EQ(changes, 0);
        return true;
    };
    MessageSteps steps({[&] {
                            SetFocus(handleOf(alignment));
                            postKey(handleOf(alignment), VK_DOWN);
                        },
                        [&] {
                            EXPECT_EQ(changes, 1);
                            EXPECT_EQ(alignment.currentSelection(), 2);
                            editor.endDialog(kIdOk);
                        }});
    editor.runModal();

    Probe mainWindow(kMainWindowId);
    ListBoxControl list;
    changes = 0;
    mainWindow.selectionChanged = [&] { ++changes; };
    mainWindow.init = [&] {
        list = controlHandle<ListBoxControl>(mainWindow, control::kHeaderList);
        for (const char* entry : {"one", "two", "three"}) {
            list.addString(entry);
        }
        list.setCurrentSelection(0);
        list.deleteString(1);
        list.insertString(1, "TWO");
        EXPECT_EQ(changes, 0);
        return true;
    };
    MessageSteps listSteps({[&] {
                                SetFocus(handleOf(list));
                                postKey(handleOf(list), VK_DOWN);
                            },
                            [&] {
                                EXPECT_EQ(changes, 1);
                                EXPECT_EQ(list.currentSelection(), 1);
                                EXPECT_EQ(list.itemText(1), "TWO");
                                mainWindow.endDialog(kIdOk);
                            }});
    mainWindow.runModal();
}

// The header editor's text box with and without horizontal auto-scroll.
class TextBoxWidth : public DialogManager {
  protected:
    // Types 'W' until the box holds 200 or stops taking them; what it holds and whether
    // that fills its width.
    std::string typeIntoTextBox(const DialogTemplate& dialogTemplate, bool& fitsWidth) {
        Probe editor(dialogTemplate);
        EditControl box;
        std::string held;
        editor.init = [&] {
            box = controlHandle<EditControl>(editor, control::kTextBox);
            return true;
        };
        MessageSteps steps({[&] {
                                SetFocus(handleOf(box));
                                for (int i = 0; i < 200; ++i) {
                                    postChar(handleOf(box), L'W');
                                }
                            },
                            [&] {
                                held = box.text();
                                fitsWidth = textFits(handleOf(box), held);
                                editor.endDialog(kIdOk);
                            }});
        editor.runModal();
        return held;
    }

    static bool textFits(HWND box, const std::string& text) {
        RECT format{};
        SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
        HDC dc = GetDC(box);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
        const std::wstring wide(text.begin(), text.end());
        SIZE extent{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
        ReleaseDC(box, dc);
        return extent.cx <= format.right - format.left;
    }
};

TEST_F(TextBoxWidth, WithoutAutoScrollTheBoxTakesOnlyWhatItsWidthShows) {
    const DialogTemplate& editor = *findDialogTemplate(kHeaderEditorId);
    bool fits = false;
    const std::string held = typeIntoTextBox(editor, fits);
    EXPECT_TRUE(fits);
    EXPECT_GT(held.size(), 10u);
    EXPECT_LT(held.size(), 200u);

    // The same box with auto-scroll takes everything: the flag is what stops it.
    std::vector<ControlTemplate> controls(editor.controls.begin(), editor.controls.end());
    for (ControlTemplate& control : controls) {
        if (control.id == control::kTextBox) {
            control.flags &= ~NoHScroll;
        }
    }
    DialogTemplate scrolling = editor;
    scrolling.controls = controls;
    EXPECT_EQ(typeIntoTextBox(scrolling, fits), std::string(200, 'W'));
    EXPECT_FALSE(fits);
}

// Of a paste into the middle the box takes what fits from its start, in one change; what
// follows the caret stays.
TEST_F(TextBoxWidth, APasteTakesWhatFitsAndKeepsWhatFollows) {
    const std::wstring pasted = L"ab" + std::wstring(200, L'M');
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t));
    std::copy_n(pasted.c_str(), pasted.size() + 1, static_cast<wchar_t*>(GlobalLock(data)));
    GlobalUnlock(data);
    SetClipboardData(CF_UNICODETEXT, data);
    CloseClipboard();

    Probe editor(kHeaderEditorId);
    EditControl box;
    std::vector<std::string> updates;
    editor.init = [&] {
        box = controlHandle<EditControl>(editor, control::kTextBox);
        box.setText("[]");
        editor.textUpdated = [&] { updates.push_back(lineOf(box)); };
        return true;
    };
    MessageSteps steps({[&] {
                            SetFocus(handleOf(box));
                            box.setSelection(1, 1);
                            PostMessageW(handleOf(box), WM_PASTE, 0, 0);
                        },
                        [&] {
                            const std::string held = box.text();
                            EXPECT_EQ(held.substr(0, 4), "[abM");
                            EXPECT_EQ(held.substr(held.size() - 2), "M]");
                            EXPECT_TRUE(textFits(handleOf(box), held));
                            EXPECT_FALSE(textFits(handleOf(box), held + 'M'));
                            EXPECT_EQ(updates, std::vector<std::string>{held});
                            editor.endDialog(kIdOk);
                        }});
    editor.runModal();
}

TEST_F(DialogManager, EndingTheDialogDuringInitialisationNeverShowsIt) {
    for (int id : {kPortSelectionId, kMainWindowId}) {
        Probe dialog(id);
        HWND window = nullptr;
        dialog.init = [&] {
            window = handleOf(dialog);
            dialog.endDialog(7);
            return id == kPortSelectionId;
        };
        EXPECT_EQ(dialog.runModal(), 7) << id;
        EXPECT_NE(window, nullptr);
        EXPECT_FALSE(wasShown(window)) << id;
        EXPECT_FALSE(dialog.hasWindow());
    }
    Probe wait(kWaitWindowId);
    wait.init = [&] {
        wait.endDialog(kIdCancel);
        return true;
    };
    EXPECT_TRUE(wait.createModeless());
    EXPECT_FALSE(wasShown(handleOf(wait)));
    EXPECT_FALSE(wait.isWindowVisible());
    wait.destroyWindow();
    EXPECT_FALSE(wait.hasWindow());
}

TEST_F(DialogManager, TheWaitWindowIsPaintedBeforeCreationReturns) {
    Probe wait(kWaitWindowId);
    ASSERT_TRUE(wait.createModeless());
    HWND window = handleOf(wait);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE)) << "nothing left to paint";
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE));
    }
    // Centred on the screen by its template.
    RECT frame{};
    GetWindowRect(window, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_NEAR(frame.left + frame.right, monitor.rcWork.left + monitor.rcWork.right, 2);
    EXPECT_NEAR(frame.top + frame.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 2);
    wait.destroyWindow();
    EXPECT_FALSE(wait.hasWindow());
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(DialogManager, AModalWindowIsOwnedByTheMainWindowCentredOverItWithOkFocused) {
    Probe mainWindow(kMainWindowId);
    Dialog::setMainWindow(&mainWindow);
    Probe port(kPortSelectionId);
    HWND owner = nullptr;
    bool ownerEnabled = true;
    RECT mainFrame{};
    RECT portFrame{};
    int focused = 0;
    LRESULT defaultId = 0;
    int portResult = 0;
    HWND mainHandle = nullptr;
    const auto lookAtPort = [&] {
        HWND window = handleOf(port);
        owner = GetWindow(window, GW_OWNER);
        ownerEnabled = IsWindowEnabled(owner);
        GetWindowRect(mainHandle, &mainFrame);
        GetWindowRect(window, &portFrame);
        focused = focusedControlId(port);
        defaultId = SendMessageW(window, DM_GETDEFID, 0, 0);
        postKey(GetFocus(), VK_ESCAPE);
    };
    MessageSteps mainSteps({[&] {
                                mainHandle = handleOf(mainWindow);
                                MessageSteps portSteps({lookAtPort});
                                portResult = port.runModal();
                            },
                            [&] { mainWindow.endDialog(kIdOk); }});
    mainWindow.runModal();

    EXPECT_EQ(portResult, kIdCancel) << "Esc";
    EXPECT_EQ(owner, mainHandle);
    EXPECT_FALSE(ownerEnabled) << "the owner waits while the modal window runs";
    EXPECT_NEAR(portFrame.left + portFrame.right, mainFrame.left + mainFrame.right, 2);
    EXPECT_NEAR(portFrame.top + portFrame.bottom, mainFrame.top + mainFrame.bottom, 2);
    EXPECT_EQ(focused, kIdOk);
    EXPECT_EQ(defaultId, MAKELRESULT(kIdOk, DC_HASDEFID));
}

TEST_F(DialogManager, TheSystemMenuTakesTheAboutEntryAndHandsItsCommandToTheDialog) {
    Probe about(kAboutBoxId);
    about.handleSysCommands = true;
    std::wstring entry;
    about.init = [&] {
        EXPECT_TRUE(about.hasSystemMenu());
        about.appendSystemMenuSeparator();
        about.appendSystemMenuEntry(16, "&About Quillet...");
        HMENU menu = GetSystemMenu(handleOf(about), FALSE);
        wchar_t text[64] = {};
        GetMenuStringW(menu, 16, text, 64, MF_BYCOMMAND);
        entry = text;
        const int count = GetMenuItemCount(menu);
        EXPECT_EQ(GetMenuItemID(menu, count - 1), 16u);
        EXPECT_EQ(GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR,
                  static_cast<UINT>(MF_SEPARATOR));
        return true;
    };
    MessageSteps steps({[&] { PostMessageW(handleOf(about), WM_SYSCOMMAND, 16, 0); },
                        [&] { PostMessageW(handleOf(about), WM_SYSCOMMAND, SC_CLOSE, 0); }});
    EXPECT_EQ(about.runModal(), kIdCancel) << "Close goes through onCancel";
    EXPECT_EQ(entry, L"&About Quillet...");
    EXPECT_EQ(about.sysCommands, (std::vector<int>{16, SC_CLOSE}));

    // Without a system menu there is neither menu nor close box.
    Probe port(kPortSelectionId);
    port.init = [&] {
        EXPECT_FALSE(port.hasSystemMenu());
        EXPECT_EQ(GetWindowLongW(handleOf(port), GWL_STYLE) & WS_SYSMENU, 0);
        port.endDialog(kIdOk);
        return true;
    };
    port.runModal();
}

TEST_F(DialogManager, TextCrossesAsLatin1BytesAndTheRestReadsAsDel) {
    Probe editor(kHeaderEditorId);
    EditControl box;
    std::string line;
    std::wstring caption;
    editor.init = [&] {
        box = controlHandle<EditControl>(editor, control::kTextBox);
        box.setText("Caf\xE9");
        wchar_t wide[16] = {};
        GetWindowTextW(handleOf(box), wide, 16);
        EXPECT_EQ(std::wstring(wide), L"Caf\u00E9");
        editor.setCaption("\xC4rger #1");
        wchar_t title[16] = {};
        GetWindowTextW(handleOf(editor), title, 16);
        caption = title;
        EXPECT_EQ(editor.caption(), "\xC4rger #1");
        return true;
    };
    MessageSteps steps({[&] {
                            SetFocus(handleOf(box));
                            box.setSelection(4, 4);
                            postChar(handleOf(box), L'\u20AC');
                        },
                        [&] {
                            line = lineOf(box);
                            editor.endDialog(kIdOk);
                        }});
    editor.runModal();
    EXPECT_EQ(caption, L"\u00C4rger #1");
    EXPECT_EQ(line, "Caf\xE9\x7F");
}

TEST_F(DialogManager, TheProgramCarriesItsIconsStringAndManifest) {
    EXPECT_FALSE(Icon::load(kAppIconId).isNull());
    EXPECT_FALSE(Icon::load(kWarningIconId).isNull());
    EXPECT_TRUE(Icon::load(999).isNull());
    EXPECT_STREQ(loadStringResource(kAboutMenuStringId), "&About Quillet...");
    EXPECT_STREQ(loadStringResource(999), "");
    // The manifest asks for version 6 of the common controls: the copy in the side-by-side
    // store is the one loaded.
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), path, MAX_PATH);
    std::wstring loaded(path);
    for (wchar_t& c : loaded) {
        c = static_cast<wchar_t>(towlower(c));
    }
    EXPECT_NE(loaded.find(L"common-controls_6595b64144ccf1df_6.0"), std::wstring::npos)
        << std::string(loaded.begin(), loaded.end());
    // And it declares the program aware of each monitor's DPI.
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
              DPI_AWARENESS_PER_MONITOR_AWARE);
}

TEST_F(DialogManager, AMinimisedWindowPaintsItsIconAndDragsIt) {
    Probe mainWindow(kMainWindowId);
    mainWindow.dragIcon = Icon::load(kAppIconId);
    bool paintedMinimised = false;
    int iconWidth = 0;
    mainWindow.paint = [&](PaintContext& context) {
        if (!mainWindow.isMinimised()) {
            return false;
        }
        paintedMinimised = true;
        iconWidth = context.systemIconWidth();
        context.eraseIconBackground();
        context.drawIcon(mainWindow.dragIcon, 0, 0);
        return true;
    };
    LRESULT dragIcon = 0;
    MessageSteps steps({MessageSteps::when([&] { return mainWindow.isWindowVisible(); },
                                           [&] { ShowWindow(handleOf(mainWindow), SW_MINIMIZE); }),
                        [&] {
                            EXPECT_TRUE(IsIconic(handleOf(mainWindow)));
                            // Windows since Vista paint no minimised window; the old
                            // desktop sent this for the icon in its place.
                            SendMessageW(handleOf(mainWindow), WM_PAINT, 0, 0);
                            dragIcon = SendMessageW(handleOf(mainWindow), WM_QUERYDRAGICON, 0, 0);
                            mainWindow.endDialog(kIdOk);
                        }});
    mainWindow.runModal();
    EXPECT_TRUE(paintedMinimised);
    EXPECT_EQ(iconWidth, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(dragIcon, reinterpret_cast<LRESULT>(LoadImageW(
                            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kAppIconId), IMAGE_ICON,
                            GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED)));
}

}  // namespace
}  // namespace quillet::wine
