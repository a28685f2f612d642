#pragma once

#include <QDialog>
#include <QPoint>
#include <memory>
#include <vector>

#include "ui/toolkit/dialog.h"
#include "ui/toolkit/qt/dialog_builder.h"

namespace quillet {

class WindowMenu;

// A dialog's window on Qt: the controls built from its template, the window menu, and the
// modal or modeless run. Made afresh for each run and removed at its end by the dialog, or
// with its owner window; it enters itself in its dialog when made and leaves when removed.
class DialogWindow : public QDialog {
    Q_OBJECT
  public:
    DialogWindow(Dialog& dialog, QWidget* owner);
    ~DialogWindow() override;

    // The dialog's window while it exists, else null.
    static DialogWindow* of(const Dialog& dialog) { return dialog.window_; }
    Dialog& dialog() const { return dialog_; }

    // The control with that id (the first, should ids repeat), or null.
    QWidget* control(int id) const;
    // The control made from the template's entry at that position.
    QWidget* controlAt(std::size_t index) const;
    const std::vector<BuiltControl>& controls() const { return controls_; }
    // The template entry of the control that is or holds the widget, or null.
    const ControlTemplate* controlHolding(const QWidget* widget) const;

    // Pixel rectangle of the client area, in window coordinates.
    QRect clientArea() const;
    WindowMenu* windowMenu() const { return windowMenu_.get(); }

    // Runs the dialog's initialisation; false when it ended the dialog.
    bool initialise();
    // Runs the modal loop; returns the result.
    int runModalLoop();
    // Centred over the owner while it is shown, else (or when the template says so) on the
    // screen.
    void placeWindow();
    // Shows the window and has it painted before returning, leaving input queued.
    void showAndPaint();
    void end(int result);
    int result() const { return result_; }

  protected:
    void reject() override;
    void accept() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void applyWindowStyle();
    void connectNotifications(const BuiltControl& built);
    bool routeWheelToFocus(QWidget* receiver, QEvent* event);

    Dialog& dialog_;
    const DialogTemplate& template_;
    BaseUnits units_;
    QPoint clientOrigin_;
    std::vector<BuiltControl> controls_;
    std::unique_ptr<WindowMenu> windowMenu_;
    int result_ = kIdCancel;
    bool endRequested_ = false;
    bool inModalLoop_ = false;
};

}  // namespace quillet
