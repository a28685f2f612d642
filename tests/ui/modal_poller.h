#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>

namespace quillet::test {

// Drives modal runs from inside their loops: each modal dialog that comes up gets the next
// action. At the deadline whatever modal dialog is still up is closed, so a mistake fails
// the test instead of hanging it.
class ModalPoller {
  public:
    using Action = std::function<void(QDialog&)>;
    static constexpr int kTimedOutResult = -99;

    explicit ModalPoller(std::deque<Action> actions, int deadlineMs = 5000);
    explicit ModalPoller(Action action, int deadlineMs = 5000)
        : ModalPoller(std::deque<Action>{std::move(action)}, deadlineMs) {}

    int actionsRun() const { return actionsRun_; }
    bool timedOut() const { return timedOut_; }

  private:
    void tick();

    std::deque<Action> actions_;
    QTimer timer_;
    QElapsedTimer clock_;
    int deadlineMs_;
    QPointer<QDialog> lastActedOn_;
    int actionsRun_ = 0;
    bool timedOut_ = false;
};

// The top-level widget with that window title, or null.
QWidget* findWindowTitled(const QString& title);

}  // namespace quillet::test
