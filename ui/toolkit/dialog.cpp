#include "ui/toolkit/dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFrame>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include "ui/resources/dialog_templates.h"
#include "ui/toolkit/controls.h"
#include "ui/toolkit/system_menu.h"

namespace quillet {
namespace {

QPointer<QWidget>& mainWindowRecord() {
    static QPointer<QWidget> window;
    return window;
}

const DialogTemplate& templateOrEmpty(int id) {
    static const DialogTemplate kEmpty{};
    const DialogTemplate* found = findDialogTemplate(id);
    return found != nullptr ? *found : kEmpty;
}

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

bool SystemMenu::deliver(Dialog& dialog, int id) {
    return dialog.deliverSysCommand(id);
}

Dialog::Dialog(int templateId, QWidget* owner)
    : QDialog(nullptr), template_(&templateOrEmpty(templateId)), explicitOwner_(owner) {}

Dialog::Dialog(const DialogTemplate& dialogTemplate, QWidget* owner)
    : QDialog(nullptr), template_(&dialogTemplate), explicitOwner_(owner) {}

Dialog::~Dialog() = default;

void Dialog::setMainWindow(QWidget* window) {
    mainWindowRecord() = window;
}

QWidget* Dialog::mainWindow() {
    return mainWindowRecord().data();
}

int Dialog::runModal() {
    createWindow();
    setModal(true);
    if (initialise()) {
        placeWindow();
        inModalLoop_ = true;
        result_ = exec();
        inModalLoop_ = false;
    }
    releaseOwner();
    return result_;
}

bool Dialog::createModeless() {
    createWindow();
    setModal(false);
    if (!initialise()) {
        return false;
    }
    if (template_->style & VisibleAtCreation) {
        placeWindow();
        showAndPaint();
    }
    return true;
}

void Dialog::destroyWindow() {
    hide();
    removeControls();
    releaseOwner();
}

// The owner is only borrowed for a run: Qt would otherwise delete this object with it.
void Dialog::releaseOwner() {
    if (parentWidget() != nullptr) {
        setParent(nullptr, windowFlags());
    }
}

void Dialog::endDialog(int result) {
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

QWidget* Dialog::control(int id) const {
    for (const BuiltControl& built : controls_) {
        if (built.source->id == id) {
            return built.widget;
        }
    }
    return nullptr;
}

QWidget* Dialog::controlAt(std::size_t index) const {
    return index < controls_.size() ? controls_[index].widget : nullptr;
}

QRect Dialog::clientArea() const {
    return QRect(clientOrigin_, toPixels(template_->width, template_->height, units_));
}

bool Dialog::hasSystemMenu() const {
    return systemMenu_ != nullptr;
}

void Dialog::appendSystemMenuSeparator() {
    if (systemMenu_) {
        systemMenu_->appendSeparator();
    }
}

void Dialog::appendSystemMenuEntry(int id, const QString& text) {
    if (systemMenu_) {
        systemMenu_->appendEntry(id, text);
    }
}

bool Dialog::onInitDialog() {
    updateData();
    return true;
}

void Dialog::onOK() {
    if (!updateData()) {
        return;
    }
    endDialog(kIdOk);
}

void Dialog::onCancel() {
    endDialog(kIdCancel);
}

void Dialog::onSysCommand(int) {
    defaultSysCommand_ = true;
}

bool Dialog::deliverSysCommand(int id) {
    defaultSysCommand_ = false;
    onSysCommand(id);
    return defaultSysCommand_;
}

void Dialog::reject() {
    onCancel();
}

void Dialog::accept() {
    onOK();
}

bool Dialog::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    if (systemMenu_ && systemMenu_->handleNativeEvent(message, result)) {
        return true;
    }
    return QDialog::nativeEvent(eventType, message, result);
}

void Dialog::createWindow() {
    QWidget* owner = explicitOwner_ != nullptr ? explicitOwner_ : mainWindow();
    if (owner == this) {
        owner = nullptr;
    }
    setParent(owner, windowFlagsFor(template_->style));
    removeControls();
    result_ = kIdCancel;
    endRequested_ = false;

    setFont(dialogFont(*template_));
    units_ = baseUnits(font(), this);
    applyWindowStyle();
    controls_ = buildControls(*this, *template_, units_, clientOrigin_);
    for (const BuiltControl& built : controls_) {
        connectNotifications(built);
    }
    systemMenu_ = (template_->style & SysMenu) ? createSystemMenu(*this) : nullptr;
}

void Dialog::removeControls() {
    systemMenu_.reset();
    for (const BuiltControl& built : controls_) {
        delete built.widget;
    }
    controls_.clear();
    for (QButtonGroup* group : findChildren<QButtonGroup*>(Qt::FindDirectChildrenOnly)) {
        delete group;
    }
    delete sunkenEdge_;
    sunkenEdge_ = nullptr;
}

void Dialog::applyWindowStyle() {
    const unsigned style = template_->style;
    setWindowTitle(QString::fromLatin1(template_->caption));
    setSizeGripEnabled(false);

    const QSize client = toPixels(template_->width, template_->height, units_);
    if (style & SunkenClientEdge) {
        clientOrigin_ = QPoint(kClientEdge, kClientEdge);
        auto* edge = new QFrame(this);
        edge->setObjectName(QStringLiteral("sunkenEdge"));
        edge->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        edge->setGeometry(0, 0, client.width() + 2 * kClientEdge,
                          client.height() + 2 * kClientEdge);
        edge->lower();
        edge->show();
        sunkenEdge_ = edge;
    } else {
        clientOrigin_ = QPoint(0, 0);
    }
    setFixedSize(client + QSize(2 * clientOrigin_.x(), 2 * clientOrigin_.y()));
}

void Dialog::connectNotifications(const BuiltControl& built) {
    const int id = built.source->id;
    QWidget* widget = built.widget;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this,
                [this, id] { notify(id, Notification::Clicked); });
    } else if (auto* list = qobject_cast<ListBox*>(widget)) {
        if (built.source->flags & Notify) {
            connect(list, &ListBox::userSelectionChanged, this,
                    [this, id] { notify(id, Notification::SelectionChanged); });
        }
    } else if (auto* dropDown = qobject_cast<DropDownList*>(widget)) {
        connect(dropDown, &DropDownList::userSelectionChanged, this,
                [this, id] { notify(id, Notification::SelectionChanged); });
    } else if (auto* edit = qobject_cast<EditBox*>(widget)) {
        connect(edit, &EditBox::textUpdated, this,
                [this, id] { notify(id, Notification::TextUpdated); });
    }
}

void Dialog::notify(int id, Notification notification) {
    for (const MessageEntry& entry : messageMap()) {
        if (entry.controlId == id && entry.notification == notification) {
            (this->*entry.handler)();
            return;
        }
    }
    if (notification != Notification::Clicked) {
        return;
    }
    if (id == kIdOk) {
        onOK();
    } else if (id == kIdCancel) {
        onCancel();
    }
}

bool Dialog::initialise() {
    const bool focusFirstTabStop = onInitDialog();
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

// Centred on the screen when the template says so, else over the owner while it is shown.
void Dialog::placeWindow() {
    QWidget* owner = parentWidget();
    QRect area;
    if (!(template_->style & CentreOnScreen) && owner != nullptr && owner->isVisible()) {
        area = owner->window()->frameGeometry();
    } else {
        QScreen* target = owner != nullptr ? owner->screen() : screen();
        area = (target != nullptr ? target : QGuiApplication::primaryScreen())->availableGeometry();
    }
    move(area.center() - rect().center());
}

// The caller blocks the window thread next, so the window must be on screen and painted now.
// Input is left queued: a click or key handled here would run in the middle of the exchange.
void Dialog::showAndPaint() {
    show();
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
}

}  // namespace quillet
