// A dialog's QDialog: its controls, notifications, placing and runs.
//
// Where it still differs from the dialog manager:
// - The window is centred after onInitDialog, and not clamped to the work area.
// - The mouse wheel always goes to the control with the focus, wherever the pointer is.
// - On Wayland, Qt's own title bar shows minimise and maximise buttons; a maximised or
//   full-screen state is undone at once (fixed_frame.h), a minimised one is not seen.
#include "ui/toolkit/qt/dialog_window.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QButtonGroup>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFrame>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QWheelEvent>
#include <QWindow>

#include "ui/toolkit/backend_window.h"
#include "ui/toolkit/qt/accessibility_qt.h"
#include "ui/toolkit/qt/fixed_frame.h"
#include "ui/toolkit/qt/qt_controls.h"
#include "ui/toolkit/qt/window_menu.h"

namespace quillet {
namespace {

// The width of a sunken client edge, as the system draws it.
constexpr int kClientEdge = 2;

// A fixed frame: never a minimise, maximise or resize control; a close box only with a
// system menu.
Qt::WindowFlags windowFlagsFor(unsigned style) {
    Qt::WindowFlags flags = (style & AppWindow) ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint;
    if (style & Caption) {
        flags |= Qt::WindowTitleHint;
    }
    if (style & SysMenu) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    return flags;
}

}  // namespace

DialogWindow::DialogWindow(Dialog& dialog, QWidget* owner)
    : QDialog(owner, windowFlagsFor(dialog.dialogTemplate().style)),
      dialog_(dialog),
      template_(dialog.dialogTemplate()) {
    setFont(dialogFont(template_));
    units_ = baseUnits(font(), this);
    applyWindowStyle();
    controls_ = buildControls(*this, template_, units_, clientOrigin_);
    for (const BuiltControl& built : controls_) {
        connectNotifications(built);
    }
    if (template_.style & SysMenu) {
        windowMenu_ = std::make_unique<WindowMenu>(*this);
    }
    qApp->installEventFilter(this);
    dialog_.window_ = this;
    dialog_.noteWindowCreated();
}

DialogWindow::~DialogWindow() {
    dialog_.noteWindowDestroyed();
    dialog_.window_ = nullptr;
    qApp->removeEventFilter(this);
    windowMenu_.reset();
}

void endWindow(DialogWindow& window, int result) {
    window.end(result);
}

QWidget* DialogWindow::control(int id) const {
    for (const BuiltControl& built : controls_) {
        if (built.source->id == id) {
            return built.widget;
        }
    }
    return nullptr;
}

QWidget* DialogWindow::controlAt(std::size_t index) const {
    return index < controls_.size() ? controls_[index].widget : nullptr;
}

const ControlTemplate* DialogWindow::controlHolding(const QWidget* widget) const {
    for (const BuiltControl& built : controls_) {
        if (built.widget == widget || built.widget->isAncestorOf(widget)) {
            return built.source;
        }
    }
    return nullptr;
}

QRect DialogWindow::clientArea() const {
    return QRect(clientOrigin_, toPixels(template_.width, template_.height, units_));
}

void DialogWindow::applyWindowStyle() {
    setWindowTitle(QString::fromLatin1(template_.caption));
    setSizeGripEnabled(false);
    const QSize client = toPixels(template_.width, template_.height, units_);
    if (template_.style & SunkenClientEdge) {
        clientOrigin_ = QPoint(kClientEdge, kClientEdge);
        auto* edge = new QFrame(this);
        edge->setObjectName(QStringLiteral("sunkenEdge"));
        edge->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        edge->setGeometry(0, 0, client.width() + 2 * kClientEdge,
                          client.height() + 2 * kClientEdge);
        edge->lower();
    }
    setFixedSize(client + QSize(2 * clientOrigin_.x(), 2 * clientOrigin_.y()));
    new FixedFrame(*this);
}

void DialogWindow::connectNotifications(const BuiltControl& built) {
    const int id = built.source->id;
    QWidget* widget = built.widget;
    Dialog* dialog = &dialog_;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this,
                [dialog, id] { dialog->dispatchNotification(id, Notification::Clicked); });
    } else if (auto* list = qobject_cast<ListBox*>(widget)) {
        if (built.source->flags & Notify) {
            connect(list, &ListBox::userSelectionChanged, this, [dialog, id] {
                dialog->dispatchNotification(id, Notification::SelectionChanged);
            });
        }
    } else if (auto* dropDown = qobject_cast<DropDownList*>(widget)) {
        connect(dropDown, &DropDownList::userSelectionChanged, this,
                [dialog, id] { dialog->dispatchNotification(id, Notification::SelectionChanged); });
    } else if (auto* edit = qobject_cast<EditBox*>(widget)) {
        connect(edit, &EditBox::textUpdated, this,
                [dialog, id] { dialog->dispatchNotification(id, Notification::TextUpdated); });
    }
}

bool DialogWindow::initialise() {
    const bool focusFirstTabStop = dialog_.dispatchInitDialog();
    if (endRequested_) {
        return false;
    }
    if (!focusFirstTabStop) {
        return true;
    }
    for (const BuiltControl& built : controls_) {
        if ((built.source->flags & TabStop) && built.widget->isVisibleTo(this) &&
            built.widget->isEnabled()) {
            built.widget->setFocus(Qt::TabFocusReason);
            break;
        }
    }
    return true;
}

int DialogWindow::runModalLoop() {
    inModalLoop_ = true;
    const int result = exec();
    inModalLoop_ = false;
    return result;
}

void DialogWindow::end(int result) {
    result_ = result;
    endRequested_ = true;
    if (!isVisible()) {
        return;
    }
    if (inModalLoop_) {
        done(result);
    } else {
        hide();
    }
}

// Esc and the close box are the Cancel button's command, as the dialog manager makes them.
void DialogWindow::reject() {
    dialog_.dispatchNotification(kIdCancel, Notification::Clicked);
}

void DialogWindow::accept() {
    dialog_.dispatchNotification(kIdOk, Notification::Clicked);
}

// The mouse wheel goes to the control with the keyboard focus, wherever the pointer is. A
// double click on a push button is one click: its second press is not a press.
bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::Wheel) {
        return routeWheelToFocus(widget, event);
    }
    return event->type() == QEvent::MouseButtonDblClick && widget->window() == this &&
           qobject_cast<QPushButton*>(widget) != nullptr;
}

bool DialogWindow::routeWheelToFocus(QWidget* receiver, QEvent* event) {
    if (receiver->window() != this) {
        return false;
    }
    QWidget* focus = focusWidget();
    if (focus == nullptr) {
        return true;
    }
    if (focus == receiver || focus->isAncestorOf(receiver)) {
        return false;
    }
    QWidget* target = focus;
    if (auto* scrolled = qobject_cast<QAbstractScrollArea*>(focus)) {
        target = scrolled->viewport();
    }
    const auto* wheel = static_cast<QWheelEvent*>(event);
    QWheelEvent forwarded(target->mapFromGlobal(wheel->globalPosition()), wheel->globalPosition(),
                          wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(),
                          wheel->modifiers(), wheel->phase(), wheel->inverted(), wheel->source(),
                          wheel->pointingDevice());
    QApplication::sendEvent(target, &forwarded);
    return true;
}

void DialogWindow::placeWindow() {
    QWidget* owner = parentWidget();
    QRect area;
    if (!(template_.style & CentreOnScreen) && owner != nullptr && owner->isVisible()) {
        area = owner->window()->frameGeometry();
    } else {
        QScreen* target = owner != nullptr ? owner->screen() : screen();
        area = (target != nullptr ? target : QGuiApplication::primaryScreen())->availableGeometry();
    }
    move(area.center() - rect().center());
}

// The caller blocks the window thread next, so the window must be on screen and painted, and
// a screen reader's questions about it answered, now. Input is left queued: a click or key
// handled here would run in the middle of the exchange.
void DialogWindow::showAndPaint() {
    show();
    activateWindow();
    QElapsedTimer waited;
    waited.start();
    constexpr int kExposeDeadlineMs = 500;
    while (true) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        const QWindow* handle = windowHandle();
        if ((handle != nullptr && handle->isExposed()) || waited.elapsed() >= kExposeDeadlineMs) {
            break;
        }
        QThread::msleep(5);
    }
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    answerScreenReaders();
}

}  // namespace quillet
