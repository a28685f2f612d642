#pragma once

// The dialog class every window derives from, in the manner of a classic dialog framework.
//
//   class PortSelectionWindow : public Dialog {
//   public:
//       PortSelectionWindow() : Dialog(130) {}          // template 130; owner: main window
//   protected:
//       bool doDataExchange() override { return bindControl(1021, com1_); }
//       bool onInitDialog() override {
//           Dialog::onInitDialog();                      // runs doDataExchange
//           com1_->setChecked(true);
//           return true;                                 // focus to the first tab stop
//       }
//       void onOK() override { if (updateData()) endDialog(com1_->isChecked() ? 0 : 1); }
//       MessageMap messageMap() const override {          // optional handler table
//           static const MessageEntry kMap[] = {
//               {1022, Notification::Clicked, handler(&PortSelectionWindow::onCom2)}};
//           return kMap;
//       }
//   private:
//       void onCom2() {}
//       QRadioButton* com1_ = nullptr;
//   };
//
//   int choice = PortSelectionWindow().runModal();     // 0, 1, or kIdCancel
//
// Each run builds the controls afresh from the template (control(id) is valid from
// onInitDialog until the next run). Buttons 1 and 2 run onOK and onCancel unless the map
// binds them; Enter presses the default button; Esc and the close box run onCancel.
// Notifications: Clicked (push and radio buttons), SelectionChanged (list box, drop-down list:
// user changes only; ListBox::setCurrentSelection and QComboBox::setCurrentIndex do not
// notify), TextUpdated (edit box: every change by the user or by code, synchronously inside
// the call that made it, also when a handler changes the text again).
// Controls are Qt widgets: push button QPushButton, radio QRadioButton, group box QGroupBox,
// static text and icon QLabel, edit box EditBox, list box ListBox, drop-down list DropDownList
// (controls.h). Window menu: in onInitDialog, if (hasSystemMenu()) appendSystemMenuSeparator()
// and appendSystemMenuEntry(16, text); a choice calls onSysCommand(id) with the raw id (mask
// it with 0xFFF0); pass other ids to Dialog::onSysCommand for the default handling.
// Modeless: createModeless() shows and paints a template visible at creation before it
// returns; destroyWindow() removes it. The application: ApplicationBase (application_base.h).

#include <QDialog>
#include <memory>
#include <span>
#include <vector>

#include "ui/toolkit/dialog_builder.h"
#include "ui/toolkit/dialog_template.h"

namespace quillet {

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
// The system command of the standard Close entry of a window menu.
inline constexpr int kSysCommandClose = 0xF060;

enum class Notification { Clicked, SelectionChanged, TextUpdated };

class SystemMenu;

class Dialog : public QDialog {
    Q_OBJECT
  public:
    // The template must exist. With no owner, the application's main window (if any, and
    // other than this dialog) becomes the owner when the window is created.
    explicit Dialog(int templateId, QWidget* owner = nullptr);
    // A template of the caller's; it must outlive the dialog.
    explicit Dialog(const DialogTemplate& dialogTemplate, QWidget* owner = nullptr);
    ~Dialog() override;

    // Creates the window, initialises it and runs it modally; returns the result given to
    // endDialog. If initialisation ends the dialog, it returns at once, never shown.
    int runModal();
    // Creates the window modeless and initialises it; a template visible at creation is
    // shown and painted before this returns, so the caller may then block the window thread.
    bool createModeless();
    // Removes a modeless window; the object may be created again.
    void destroyWindow();

    void endDialog(int result);

    QWidget* control(int id) const;
    template <class T>
    T* controlAs(int id) const {
        return qobject_cast<T*>(control(id));
    }

    // The control made from the template's entry at that position (ids may repeat, -1).
    QWidget* controlAt(std::size_t index) const;

    const DialogTemplate& dialogTemplate() const { return *template_; }
    BaseUnits dialogBaseUnits() const { return units_; }
    // Pixel rectangle of the client area, in dialog coordinates.
    QRect clientArea() const;

    // The window menu (only for templates with a system menu).
    bool hasSystemMenu() const;
    void appendSystemMenuSeparator();
    void appendSystemMenuEntry(int id, const QString& text);

    // The application's main window, the owner of dialogs constructed without one.
    static void setMainWindow(QWidget* window);
    static QWidget* mainWindow();

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
    // is the default handling: Close closes the window like the close box.
    virtual void onSysCommand(int id);
    virtual MessageMap messageMap() const { return {}; }

    template <class T>
    bool bindControl(int id, T*& member) {
        member = controlAs<T>(id);
        return member != nullptr;
    }

    void reject() override;
    void accept() override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    friend class SystemMenu;

    void createWindow();
    void removeControls();
    void releaseOwner();
    void applyWindowStyle();
    void connectNotifications(const BuiltControl& built);
    void notify(int id, Notification notification);
    bool initialise();
    void placeWindow();
    void showAndPaint();
    // Runs onSysCommand; true when it left the command to the default handling.
    bool deliverSysCommand(int id);

    const DialogTemplate* template_;
    QWidget* explicitOwner_;
    BaseUnits units_;
    std::vector<BuiltControl> controls_;
    std::unique_ptr<SystemMenu> systemMenu_;
    QWidget* sunkenEdge_ = nullptr;
    QPoint clientOrigin_;
    int result_ = kIdCancel;
    bool endRequested_ = false;
    bool inModalLoop_ = false;
    bool defaultSysCommand_ = false;
};

}  // namespace quillet
