// What a screen reader gets from the Win32 backend on Quillet's windows: the names oleacc
// reports, the names the backend annotates, the alerts it raises, the focus coming back
// when a window closes, and the keyboard path through the port choice. Wine's oleacc takes
// no annotation (its service answers E_NOTIMPL), so the annotations are read here by a
// recorder registered in the service's place, as Windows' oleacc would take them.

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/win32/message_steps.h"
#include "ui/resources/resource_catalog.h"
#include "ui/resources/resource_ids.h"
#include "ui/toolkit/testing/dialog_testing.h"
#include "ui/toolkit/win32/dialog_window.h"

namespace quillet::wine {
namespace {

HWND handleOf(const Dialog& dialog) {
    return dialogWindow(dialog) != nullptr ? dialogWindow(dialog)->handle() : nullptr;
}

HWND controlOf(const Dialog& dialog, int id) {
    return GetDlgItem(handleOf(dialog), id);
}

class Probe : public TemplateDialog {
  public:
    explicit Probe(int templateId) : TemplateDialog(templateId) {}
    std::function<void()> init;

  protected:
    bool onInitDialog() override {
        Dialog::onInitDialog();
        if (init) {
            init();
        }
        return true;
    }
};

// The name and role oleacc gives a window's client object.
struct Msaa {
    std::wstring name;
    long role = 0;
};

Msaa msaaOf(HWND window) {
    Msaa found;
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&accessible)))) {
        return found;
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (accessible->get_accName(self, &name) == S_OK && name != nullptr) {
        found.name.assign(name, SysStringLen(name));
    }
    SysFreeString(name);
    VARIANT role{};
    if (SUCCEEDED(accessible->get_accRole(self, &role)) && role.vt == VT_I4) {
        found.role = role.lVal;
    }
    accessible->Release();
    return found;
}

// Stands in for the annotation service: what was annotated, and what cleared while its
// window still existed.
class AnnotationRecorder : public IAccPropServices, public IClassFactory {
  public:
    std::map<HWND, std::wstring> names;
    std::map<HWND, long> roles;
    std::vector<HWND> clearedAlive;

    // IUnknown, for both interfaces: the recorder lives on the test's stack.
    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
        } else if (iid == IID_IAccPropServices) {
            *out = static_cast<IAccPropServices*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    ULONG WINAPI AddRef() override { return 2; }
    ULONG WINAPI Release() override { return 1; }

    HRESULT WINAPI CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        return outer != nullptr ? CLASS_E_NOAGGREGATION : QueryInterface(iid, out);
    }
    HRESULT WINAPI LockServer(BOOL) override { return S_OK; }

    HRESULT WINAPI SetHwndPropStr(HWND window, DWORD object, DWORD child, MSAAPROPID property,
                                  LPCWSTR text) override {
        if (object != static_cast<DWORD>(OBJID_CLIENT) || child != CHILDID_SELF ||
            property != PROPID_ACC_NAME) {
            return E_INVALIDARG;
        }
        names[window] = text;
        return S_OK;
    }
    HRESULT WINAPI SetHwndProp(HWND window, DWORD object, DWORD child, MSAAPROPID property,
                               VARIANT value) override {
        if (object != static_cast<DWORD>(OBJID_CLIENT) || child != CHILDID_SELF ||
            property != PROPID_ACC_ROLE || value.vt != VT_I4) {
            return E_INVALIDARG;
        }
        roles[window] = value.lVal;
        return S_OK;
    }
    HRESULT WINAPI ClearHwndProps(HWND window, DWORD, DWORD, const MSAAPROPID*, int) override {
        if (IsWindow(window)) {
            clearedAlive.push_back(window);
        }
        return S_OK;
    }

    HRESULT WINAPI SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                 AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                     AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT WINAPI SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT WINAPI SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                      AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override {
        return E_NOTIMPL;
    }
};

struct WinEvent {
    DWORD event;
    HWND window;
    LONG object;
    LONG child;
    bool visible;
};

std::vector<WinEvent>& winEvents() {
    static std::vector<WinEvent> events;
    return events;
}

void CALLBACK recordWinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                             DWORD, DWORD) {
    winEvents().push_back({event, window, object, child, IsWindowVisible(window) != FALSE});
}

std::vector<WinEvent> eventsOf(DWORD kind) {
    std::vector<WinEvent> found;
    for (const WinEvent& event : winEvents()) {
        if (event.event == kind) {
            found.push_back(event);
        }
    }
    return found;
}

class Accessibility : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        installResources(quilletResources());
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        winEvents().clear();
        // In context, so each event is seen inside the call that raised it. (Wine loses
        // out-of-context events raised from a timer callback.)
        hook_ = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_OBJECT_FOCUS, GetModuleHandleW(nullptr),
                                &recordWinEvent, GetCurrentProcessId(), 0, WINEVENT_INCONTEXT);
    }
    void TearDown() override {
        UnhookWinEvent(hook_);
        CoUninitialize();
    }

    // Opens the window, lets it be shown, and looks at it before it closes.
    static void whileOpen(Probe& dialog, std::function<void()> look) {
        MessageSteps steps({MessageSteps::when([&] { return dialog.isWindowVisible(); },
                                               [&] {
                                                   look();
                                                   dialog.endDialog(kIdOk);
                                               })});
        dialog.runModal();
    }
    // Once since the events were cleared, and when the window was shown.
    static void expectOneAlertFrom(HWND window) {
        const std::vector<WinEvent> raised = eventsOf(EVENT_SYSTEM_ALERT);
        ASSERT_EQ(raised.size(), 1u);
        EXPECT_EQ(raised[0].window, window);
        EXPECT_EQ(raised[0].object, OBJID_CLIENT);
        EXPECT_EQ(raised[0].child, CHILDID_SELF);
        EXPECT_TRUE(raised[0].visible);
    }

  private:
    HWINEVENTHOOK hook_ = nullptr;
};

// Oleacc names the buttons by their text and the text box by its label; the lists and the
// icons, which oleacc would name by their resource ordinal, are annotated, and each
// annotation is cleared while its window still exists.
TEST_F(Accessibility, EachControlIsNamedByOleaccOrByAnAnnotationClearedBeforeItGoes) {
    struct Named {
        int window;
        int control;
        std::wstring name;
    };
    const std::vector<Named> byOleacc = {
        {kMainWindowId, kIdOk, L"OK"},
        {kMainWindowId, kIdCancel, L"Cancel"},
        {kMainWindowId, control::kPrintTestPage, L"Print Test Page"},
        {kMainWindowId, control::kModify, L"Modify..."},
        {kMainWindowId, control::kSetDefaults, L"Set Defaults"},
        {kPortSelectionId, control::kCom1, L"COM1"},
        {kPortSelectionId, control::kCom2, L"COM2"},
        {kPortSelectionId, kIdCancel, L"Cancel"},
        {kHeaderEditorId, control::kApply, L"Apply"},
        {kHeaderEditorId, control::kTextBox, L"Text"},
        {kAboutBoxId, kIdOk, L"OK"},
        {kFailureNoticeId, kIdOk, L"OK"},
    };
    const std::vector<Named> byAnnotation = {
        {kMainWindowId, control::kHeaderList, L"Message: Current Setting:"},
        {kHeaderEditorId, control::kFontList, L"Font"},
        {kHeaderEditorId, control::kAlignmentList, L"Alignment"},
        {kHeaderEditorId, control::kTextBox, L"Text"},
    };
    AnnotationRecorder recorder;
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(CLSID_AccPropServices, static_cast<IClassFactory*>(&recorder),
                                    CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
              S_OK);
    std::map<HWND, std::wstring> annotated;
    HWND notice = nullptr;
    for (int id : {kMainWindowId, kPortSelectionId, kHeaderEditorId, kAboutBoxId, kFailureNoticeId,
                   kWaitWindowId}) {
        Probe dialog(id);
        whileOpen(dialog, [&] {
            for (const Named& named : byOleacc) {
                if (named.window == id) {
                    EXPECT_EQ(msaaOf(controlOf(dialog, named.control)).name, named.name)
                        << "window " << id << ", control " << named.control;
                }
            }
            HWND window = handleOf(dialog);
            for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                    annotated[child] = L"";  // also a list with the same style bits, named below
                }
            }
            for (const Named& named : byAnnotation) {
                if (named.window == id) {
                    annotated[controlOf(dialog, named.control)] = named.name;
                }
            }
            if (id == kHeaderEditorId) {
                // Wine's oleacc knows the edit box's role; it calls every other control "client".
                EXPECT_EQ(msaaOf(controlOf(dialog, control::kTextBox)).role, ROLE_SYSTEM_TEXT);
            }
            if (id == kFailureNoticeId) {
                notice = window;
            }
        });
    }
    CoRevokeClassObject(cookie);

    EXPECT_EQ(annotated.size(), 7u) << "three icons and four lists and boxes";
    EXPECT_EQ(recorder.names, annotated);
    EXPECT_EQ(recorder.roles, (std::map<HWND, long>{{notice, ROLE_SYSTEM_ALERT}}));
    EXPECT_EQ(recorder.clearedAlive.size(), annotated.size() + 1);
}

TEST_F(Accessibility, TheFailureNoticeAndAnAnnouncedMessageRaiseAnAlert) {
    Probe notice(kFailureNoticeId);
    HWND noticeWindow = nullptr;
    notice.init = [&] { noticeWindow = handleOf(notice); };
    whileOpen(notice, [] {});
    expectOneAlertFrom(noticeWindow);

    winEvents().clear();
    Probe editor(kHeaderEditorId);
    HWND message = nullptr;
    editor.init = [&] { message = controlOf(editor, control::kTooLongMessage); };
    whileOpen(editor, [&] {
        EXPECT_TRUE(eventsOf(EVENT_SYSTEM_ALERT).empty()) << "an editor is no alert";
        StaticControl tooLong = controlHandle<StaticControl>(editor, control::kTooLongMessage);
        tooLong.show(true);
        tooLong.announce();
    });
    expectOneAlertFrom(message);
}

// The window below gets the focus back, on the control that had it, and says so.
TEST_F(Accessibility, TheFocusComesBackWithAnEventWhenAWindowOverTheMainWindowCloses) {
    for (int id : {kAboutBoxId, kFailureNoticeId, kHeaderEditorId}) {
        Probe mainWindow(kMainWindowId);
        Dialog::setMainWindow(&mainWindow);
        Probe over(id);
        HWND modify = nullptr;
        std::vector<WinEvent> focusEvents;
        HWND focus = nullptr;
        MessageSteps steps({MessageSteps::when([&] { return mainWindow.isWindowVisible(); },
                                               [&] {
                                                   modify = controlOf(mainWindow, control::kModify);
                                                   SetFocus(modify);
                                                   MessageSteps closing({MessageSteps::when(
                                                       [&] { return over.isWindowVisible(); },
                                                       [&] {
                                                           winEvents().clear();
                                                           postKey(GetFocus(), VK_RETURN);
                                                       })});
                                                   over.runModal();
                                               }),
                            [&] {
                                focusEvents = eventsOf(EVENT_OBJECT_FOCUS);
                                focus = GetFocus();
                                mainWindow.endDialog(kIdOk);
                            }});
        mainWindow.runModal();
        Dialog::setMainWindow(nullptr);

        EXPECT_EQ(focus, modify) << id;
        ASSERT_FALSE(focusEvents.empty()) << id;
        EXPECT_EQ(focusEvents.back().window, modify) << id;
        EXPECT_EQ(focusEvents.back().object, OBJID_CLIENT) << id;
    }
}

// Tab: OK, the checked port, Cancel; the arrows move and check within the two ports.
TEST_F(Accessibility, TheCheckedPortIsTheGroupsTabStopAndTheArrowsStayInTheGroup) {
    Probe ports(kPortSelectionId);
    ports.init = [&] { controlHandle<ButtonControl>(ports, control::kCom1).setChecked(true); };
    std::vector<int> focus;
    const auto note = [&] { focus.push_back(focusedControlId(ports)); };
    std::vector<MessageSteps::Step> steps = {
        MessageSteps::when([&] { return ports.isWindowVisible(); }, note)};
    for (UINT key : {VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_DOWN, VK_DOWN, VK_UP, VK_TAB}) {
        steps.push_back([key] { postKey(GetFocus(), key); });
        steps.push_back(note);
    }
    bool com2Checked = false;
    steps.push_back([&] {
        com2Checked = controlHandle<ButtonControl>(ports, control::kCom2).isChecked();
        ports.endDialog(kIdOk);
    });
    MessageSteps run(std::move(steps));
    ports.runModal();

    EXPECT_EQ(focus, (std::vector<int>{kIdOk, control::kCom1, kIdCancel, kIdOk, control::kCom1,
                                       control::kCom2, control::kCom1, control::kCom2, kIdCancel}));
    EXPECT_TRUE(com2Checked) << "the last arrow checked it";
}

}  // namespace
}  // namespace quillet::wine
