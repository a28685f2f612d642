// Alerts, announcements and focus reports over Qt's accessibility framework.
//
// Qt 6.4's AT-SPI bridge passes on no QAccessible::Alert event, so an announcement is the
// showing of an object of role notification whose child is the message: Orca speaks such an
// object and the labels under it when it appears.
#include "ui/toolkit/qt/accessibility_qt.h"

#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QThread>
#include <QWindow>

#include "ui/toolkit/qt/dialog_window.h"

namespace quillet {
namespace {

constexpr char kAnnouncementProperty[] = "quilletAnnouncement";

// The notification that carries one message label.
class Announcement final : public QAccessibleInterface {
  public:
    explicit Announcement(QLabel& label) : label_(&label) {}

    bool isValid() const override { return !label_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return label_ ? label_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return label_ ? QAccessible::queryAccessibleInterface(label_->window()) : nullptr;
    }
    QAccessibleInterface* child(int index) const override {
        return index == 0 && label_ ? QAccessible::queryAccessibleInterface(label_.data())
                                    : nullptr;
    }
    int childCount() const override { return label_ ? 1 : 0; }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr && label_ && child->object() == label_.data() ? 0 : -1;
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && label_ ? label_->text() : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        return label_ ? QRect(label_->mapToGlobal(QPoint(0, 0)), label_->size()) : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !label_ || !label_->isVisible();
        return state;
    }

  private:
    QPointer<QLabel> label_;
};

QAccessible::Id announcementFor(QLabel& label) {
    const QVariant known = label.property(kAnnouncementProperty);
    if (known.isValid()) {
        return known.value<QAccessible::Id>();
    }
    const QAccessible::Id id = QAccessible::registerAccessibleInterface(new Announcement(label));
    label.setProperty(kAnnouncementProperty, QVariant::fromValue(id));
    QObject::connect(&label, &QObject::destroyed,
                     [id] { QAccessible::deleteAccessibleInterface(id); });
    return id;
}

QAccessibleInterface* alertWindows(const QString& key, QObject* object) {
    if (key != QLatin1String(DialogWindow::staticMetaObject.className())) {
        return nullptr;
    }
    auto* window = qobject_cast<DialogWindow*>(object);
    if (window == nullptr || !(window->dialog().dialogTemplate().style & Alert)) {
        return nullptr;
    }
    return new QAccessibleWidget(window, QAccessible::AlertMessage);
}

}  // namespace

void installAccessibleWindows() {
    static const bool installed = [] {
        QAccessible::installFactory(alertWindows);
        return true;
    }();
    (void)installed;
}

void announceText(QLabel& label) {
    if (!QAccessible::isActive()) {
        return;
    }
    QAccessibleEvent shown(QAccessible::accessibleInterface(announcementFor(label)),
                           QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

void reportFocusReturned(QWidget& window) {
    if (!QAccessible::isActive()) {
        return;
    }
    QWidget* focus = window.focusWidget();
    QAccessibleEvent focused(focus != nullptr ? focus : &window, QAccessible::Focus);
    QAccessible::updateAccessibility(&focused);
}

void answerScreenReaders() {
    if (!QAccessible::isActive()) {
        return;
    }
    constexpr int kQuietMs = 200;
    constexpr int kLongestMs = 1000;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    QElapsedTimer waited;
    QElapsedTimer quiet;
    waited.start();
    quiet.start();
    while (quiet.elapsed() < kQuietMs && waited.elapsed() < kLongestMs) {
        if (dispatcher->processEvents(QEventLoop::ExcludeUserInputEvents)) {
            quiet.restart();
        } else {
            QThread::msleep(5);
        }
    }
}

}  // namespace quillet
