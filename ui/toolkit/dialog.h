#pragma once

// The dialog class every window derives from, in the manner of a classic dialog framework,
// over whichever backend the build uses (Qt Widgets, or the Win32 dialog manager).
//
//   class PortSelectionWindow : public Dialog {
//   public:
//       PortSelectionWindow() : Dialog(130) {}          // template 130; owner: main window
//   protected:
//       bool doDataExchange() override { return bindControl(1021, com1_); }
//       bool onInitDialog() override {
//           Dialog::onInitDialog();                      // runs doDataExchange
//           com1_.setChecked(true);
//           return true;                                 // focus to the first tab stop
//       }
//       void onOK() override { if (updateData()) endDialog(com1_.isChecked() ? 0 : 1); }
//       MessageMap messageMap() const override {          // optional handler table
//           static const MessageEntry kMap[] = {
//               {1022, Notification::Clicked, handler(&PortSelectionWindow::onCom2)}};
//           return kMap;
//       }
//   private:
//       void onCom2() {}
//       ButtonControl com1_;
//   };
//
//   int choice = PortSelectionWindow().runModal();     // 0, 1, or kIdCancel
//
// Each run creates the window afresh from the template; control handles are bound by the
// data exchange and valid from onInitDialog until the window is gone. Lists are filled with
// the template's entries before onInitDialog. Buttons 1 and 2 run onOK and onCancel unless
// the map binds them; Enter presses the default button; Esc and the close box run onCancel.
// Notifications: Clicked (push and radio buttons), SelectionChanged (list box with the
// Notify flag: user changes only; drop-down list: the user's choice only, the entry the open
// list closes on or a step in the closed list, never the steps through the open list, and
// Esc there puts back the entry it opened on), TextUpdated (edit box: every change by the
// user or by code, synchronously inside the call that made it, also when a handler changes
// the text again; the user's changes that an edit box which never scrolls refuses whole
// raise none). The window menu: in onInitDialog, if (hasSystemMenu())
// appendSystemMenuSeparator() and appendSystemMenuEntry(16, text); a choice calls
// onSysCommand(id) with the raw id (mask it with kSystemCommandMask); pass other ids to
// Dialog::onSysCommand for the default handling. Modeless: createModeless() shows and
// paints a template visible at creation before it returns, so the caller may then block
// the window thread; destroyWindow() removes it.
//
// Input: the keys and clicks still queued when a button's handler or an initialisation
// returns are dropped, since they came while the window thread was busy (an exchange with
// the printer holds it); a double click on a push button clicks it once.
//
// Defined once for all backends (ui/toolkit/dialog.cpp): construction and destruction,
// endDialog, the main window record, hasWindow, the dispatch entry points and the default
// handlers. Everything that needs the window is defined by each backend. What tests may
// reach behind this interface is in ui/toolkit/testing/dialog_testing.h.

#include <span>
#include <string>
#include <string_view>

#include "ui/toolkit/controls.h"
#include "ui/toolkit/dialog_template.h"
#include "ui/toolkit/resources.h"

namespace quillet {

// The system command of the standard Close entry of a window menu.
inline constexpr int kSysCommandClose = 0xF060;
// The bits of a system command that name it; the system keeps the low four for itself.
inline constexpr int kSystemCommandMask = 0xFFF0;

enum class Notification { Clicked, SelectionChanged, TextUpdated };

class PaintContext;
// The backend's window: a QDialog, or a dialog manager window. Defined by each backend.
class DialogWindow;

class Dialog {
  public:
    // The template must exist in the installed resources. With no owner, the application's
    // main window (if any, and other than this dialog) becomes the owner when the window is
    // created.
    explicit Dialog(int templateId, Dialog* owner = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the window, initialises it and runs it modally; returns the result given to
    // endDialog. If initialisation ends the dialog, it returns at once, never shown.
    int runModal();
    // Creates the window modeless and initialises it; a template visible at creation is
    // shown and painted before this returns. False when the window could not be made.
    bool createModeless();
    // Removes a modeless window; the object may be created again.
    void destroyWindow();
    void endDialog(int result);

    // Whether the window exists, and whether it is on screen.
    bool hasWindow() const;
    bool isWindowVisible() const;
    bool isMinimised() const;

    // The window's caption (SetWindowText on the dialog), as bytes shown as Latin-1.
    void setCaption(std::string_view text);
    std::string caption() const;
    // WM_SETICON: the icon of the window's caption bar and task bar, large then small.
    void setIcon(const Icon& icon);

    // The window menu (only for templates with a system menu).
    bool hasSystemMenu() const;
    void appendSystemMenuSeparator();
    void appendSystemMenuEntry(int id, std::string_view text);

    const DialogTemplate& dialogTemplate() const { return *template_; }

    // The application's main window, the owner of dialogs constructed without one.
    static void setMainWindow(Dialog* window);
    static Dialog* mainWindow();

    // The system ends the program (a termination signal, the end of the session): every
    // modal window over the main window is cancelled, no new one comes up, and the main
    // window runs its Cancel, once no handler runs (WhenIdle; an exchange with the printer
    // ends first) or at once (Now: the system may end the process when this returns).
    enum class EndTiming { WhenIdle, Now };
    static void requestEnd(EndTiming timing);

    using Handler = void (Dialog::*)();
    struct MessageEntry {
        int controlId;
        Notification notification;
        Handler handler;
    };
    using MessageMap = std::span<const MessageEntry>;

    template <class Derived>
    static Handler handler(void (Derived::*h)()) {
        return static_cast<Handler>(h);
    }

    // Called by the backend; not for windows.
    void dispatchNotification(int controlId, Notification notification);
    bool dispatchInitDialog();
    // True when the dialog left the command to the default handling.
    bool dispatchSysCommand(int id);
    bool dispatchPaint(PaintContext& paint);
    Icon dispatchQueryDragIcon();

  protected:
    // Default: data exchange; true lets the toolkit put the focus on the first tab stop.
    virtual bool onInitDialog();
    // Binds controls to members; false when it fails.
    virtual bool doDataExchange() { return true; }
    bool updateData() { return doDataExchange(); }
    // Default: data exchange, then endDialog(kIdOk).
    virtual void onOK();
    // Default: endDialog(kIdCancel).
    virtual void onCancel();
    // A choice from the window menu, with the entry's identifier. Calling this base version
    // is the default handling (Close closes the window like the close box).
    virtual void onSysCommand(int id);
    virtual MessageMap messageMap() const { return {}; }
    // Painting: only backends that paint a minimised window in its own frame call this.
    // False leaves the window to the default painting.
    virtual bool onPaint(PaintContext& paint);
    // The icon shown while the minimised window is dragged; null for the default.
    virtual Icon onQueryDragIcon() { return {}; }

    // Binds a handle to the control with that id; false when there is none of its kind.
    template <class Handle>
    bool bindControl(int id, Handle& handle) {
        return attachControl(id, handle, &Handle::accepts);
    }

  private:
    bool attachControl(int id, Control& handle, bool (*accepts)(ControlKind)) const;
    void runHandler(int controlId, Notification notification);
    static void finishEnd();
    // Counts the handlers that run, so that a requested end waits for them.
    struct HandlerScope {
        HandlerScope();
        ~HandlerScope();
        HandlerScope(const HandlerScope&) = delete;
        HandlerScope& operator=(const HandlerScope&) = delete;
    };
    // The backend calls these when it has made the window and just before it removes it.
    void noteWindowCreated();
    void noteWindowDestroyed();

    const DialogTemplate* template_;
    Dialog* explicitOwner_;
    // The window belongs to the backend, which sets and clears this when it makes and
    // removes it.
    DialogWindow* window_ = nullptr;
    bool defaultSysCommand_ = false;
    // Since the window was made: endDialog was called; it runs modally.
    bool ended_ = false;
    bool modal_ = false;

    friend class DialogWindow;
    // The hooks of ui/toolkit/testing/dialog_testing.h.
    friend struct DialogTestAccess;
};

}  // namespace quillet
