#include "tests/e2e/session_recorder.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QThread>
#include <chrono>
#include <thread>

#include "link/pause.h"
#include "link/testing/link_testing.h"
#include "ui/failure_notice.h"
#include "ui/resources/resource_ids.h"
#include "ui/toolkit/qt/qt_testing.h"

namespace quillet::e2e {
namespace {

SessionRecorder* recorder = nullptr;

}  // namespace

SessionRecorder::SessionRecorder() {
    recorder = this;
    qApp->installEventFilter(this);
    setPauseHook(&SessionRecorder::onPause);
}

SessionRecorder::~SessionRecorder() {
    setPauseHook(nullptr);
    qApp->removeEventFilter(this);
    recorder = nullptr;
}

void SessionRecorder::onPause(int ms) {
    if (recorder != nullptr) {
        recorder->recordPause(ms);
    }
}

void SessionRecorder::recordPause(int ms) {
    // Pauses are taken on the window thread only, where the windows may be looked at.
    PauseTaken taken{ms, {}};
    if (QThread::currentThread() == qApp->thread()) {
        taken.windows = visibleWindows();
        if (probe_) {
            probe_(ms);
        }
    }
    {
        const std::lock_guard hold(mutex_);
        pauses_.push_back(std::move(taken));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(shorten_ ? ms / 10 : ms));
}

bool SessionRecorder::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) {
        return false;
    }
    if (event->type() == QEvent::Show && widget->isWindow()) {
        recordShow(widget);
    } else if (event->type() == QEvent::Paint) {
        recordPaint(widget);
    }
    return false;
}

void SessionRecorder::recordShow(QWidget* window) {
    ShownWindow shown{window->windowTitle(), {}, visibleWindows()};
    if (auto* notice = dynamic_cast<FailureNotice*>(dialogOf(window))) {
        shown.message = QString::fromLatin1(
            controlHandle<StaticControl>(*notice, control::kFailureMessage).text().c_str());
    }
    std::erase_if(shown.others, [&](const WindowState& s) { return s.title == shown.title; });
    painted_.remove(window);
    const std::lock_guard hold(mutex_);
    shown_.push_back(std::move(shown));
}

void SessionRecorder::recordPaint(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        QStringList& texts = painted_[widget->window()];
        if (!texts.contains(label->text())) {
            texts.append(label->text());
        }
    }
}

std::vector<WindowState> SessionRecorder::visibleWindows() const {
    std::vector<WindowState> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && !w->windowTitle().isEmpty()) {
            windows.push_back({w->windowTitle(), painted_.value(w)});
        }
    }
    return windows;
}

std::vector<ShownWindow> SessionRecorder::shown() const {
    const std::lock_guard hold(mutex_);
    return shown_;
}

QStringList SessionRecorder::shownTitles() const {
    QStringList titles;
    for (const ShownWindow& s : shown()) {
        titles.append(s.title);
    }
    return titles;
}

std::vector<PauseTaken> SessionRecorder::pauses() const {
    const std::lock_guard hold(mutex_);
    return pauses_;
}

std::vector<int> SessionRecorder::pauseLengths(std::size_t from) const {
    std::vector<int> lengths;
    const std::lock_guard hold(mutex_);
    for (std::size_t i = from; i < pauses_.size(); ++i) {
        lengths.push_back(pauses_[i].ms);
    }
    return lengths;
}

std::size_t SessionRecorder::pauseCount() const {
    const std::lock_guard hold(mutex_);
    return pauses_.size();
}

}  // namespace quillet::e2e
