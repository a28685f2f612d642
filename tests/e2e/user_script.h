#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>

#include "ui/toolkit/dialog.h"

namespace quillet::e2e {

// Plays the user: a list of steps, each done when its condition holds. Conditions are
// looked at every few milliseconds from the running event loop, whichever modal run it
// belongs to. Each action runs on the next turn of the loop, so that a modal run it starts
// is driven as well. At the deadline every modal window still up is closed, so a mistake
// fails the test instead of hanging it.
class UserScript {
  public:
    using Condition = std::function<bool()>;
    using Action = std::function<void()>;
    static constexpr int kClosedByDeadline = -99;

    explicit UserScript(int deadlineMs = 30000);

    void then(QString name, Condition ready, Action act);
    // When the modal window with that title is up, act on it.
    void onModal(const QString& title, std::function<void(Dialog&)> act);
    // Waits that long once the step before has acted, then acts.
    void after(QString name, int ms, Action act);

    bool finished() const { return steps_.empty() && !timedOut_; }
    bool timedOut() const { return timedOut_; }
    // The step being waited for, or empty.
    QString waitingFor() const { return steps_.empty() ? QString() : steps_.front().name; }

  private:
    struct Step {
        QString name;
        Condition ready;
        Action act;
    };

    void tick();

    std::deque<Step> steps_;
    QTimer timer_;
    QElapsedTimer clock_;
    QElapsedTimer sinceLastStep_;
    int deadlineMs_;
    bool timedOut_ = false;
};

// The modal window the user is looking at, if it is one of ours.
Dialog* activeModal();
bool modalUp(const QString& title);
// A visible top-level window with that title, or null.
QWidget* visibleWindow(const QString& title);

}  // namespace quillet::e2e
