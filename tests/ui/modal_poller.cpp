#include "tests/ui/modal_poller.h"

#include <QApplication>

namespace quillet::test {

ModalPoller::ModalPoller(std::deque<Action> actions, int deadlineMs)
    : actions_(std::move(actions)), deadlineMs_(deadlineMs) {
    clock_.start();
    QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    timer_.start(10);
}

void ModalPoller::tick() {
    auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (lastActedOn_ != nullptr && !lastActedOn_->isVisible()) {
        lastActedOn_ = nullptr;
    }
    if (clock_.elapsed() > deadlineMs_) {
        timedOut_ = true;
        if (modal != nullptr) {
            modal->done(kTimedOutResult);
        }
        return;
    }
    if (modal == nullptr || !modal->isVisible() || modal == lastActedOn_ || actions_.empty()) {
        return;
    }
    lastActedOn_ = modal;
    Action action = std::move(actions_.front());
    actions_.pop_front();
    ++actionsRun_;
    action(*modal);
}

QWidget* findWindowTitled(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->windowTitle() == title) {
            return w;
        }
    }
    return nullptr;
}

}  // namespace quillet::test
