#include "tests/e2e/user_script.h"

#include <QApplication>
#include <QPointer>

#include "ui/toolkit/qt/qt_testing.h"

namespace quillet::e2e {

UserScript::UserScript(int deadlineMs) : deadlineMs_(deadlineMs) {
    clock_.start();
    sinceLastStep_.start();
    QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    timer_.start(10);
}

void UserScript::then(QString name, Condition ready, Action act) {
    steps_.push_back({std::move(name), std::move(ready), std::move(act)});
}

void UserScript::onModal(const QString& title, std::function<void(Dialog&)> act) {
    then(
        title, [title] { return modalUp(title); },
        [act = std::move(act)] {
            if (Dialog* dialog = activeModal()) {
                act(*dialog);
            }
        });
}

void UserScript::after(QString name, int ms, Action act) {
    then(
        std::move(name), [this, ms] { return sinceLastStep_.elapsed() >= ms; }, std::move(act));
}

void UserScript::tick() {
    if (clock_.elapsed() > deadlineMs_) {
        timedOut_ = true;
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            modal->done(kClosedByDeadline);
        }
        return;
    }
    if (steps_.empty() || !steps_.front().ready()) {
        return;
    }
    Action act = std::move(steps_.front().act);
    steps_.pop_front();
    // Later, so that this tick returns and the timer can drive a modal run the action starts.
    QTimer::singleShot(0, &timer_, [this, act = std::move(act)] {
        sinceLastStep_.restart();
        act();
    });
}

Dialog* activeModal() {
    Dialog* dialog = dialogOf(QApplication::activeModalWidget());
    return dialog != nullptr && dialog->isWindowVisible() ? dialog : nullptr;
}

bool modalUp(const QString& title) {
    const Dialog* dialog = activeModal();
    return dialog != nullptr && dialog->caption() == title.toStdString();
}

QWidget* visibleWindow(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle() == title) {
            return w;
        }
    }
    return nullptr;
}

}  // namespace quillet::e2e
