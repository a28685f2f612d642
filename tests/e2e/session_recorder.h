#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

class QWidget;

namespace quillet::e2e {

// A top-level window as the user sees it at one moment.
struct WindowState {
    QString title;
    QStringList paintedTexts;  // texts of its labels painted since it was last shown
};

struct ShownWindow {
    QString title;
    QString message;                  // a failure notice's message; empty for other windows
    std::vector<WindowState> others;  // the other windows visible when it came up
};

struct PauseTaken {
    int ms = 0;
    std::vector<WindowState> windows;  // what was on screen during the pause
};

// Watches a run from the user's side: every window shown, what was painted, and every pause
// the program takes. Pauses are recorded and slept whole, so that a busy machine still gives
// the printer its time to answer; where no answer is to come they may be shortened.
class SessionRecorder : public QObject {
  public:
    SessionRecorder();
    ~SessionRecorder() override;

    // Sleeps a tenth of each pause from now on (or whole again).
    void shortenPauses(bool shorten) { shorten_ = shorten; }
    // Called on the window thread at each pause, before it is slept.
    void setOnPause(std::function<void(int)> probe) { probe_ = std::move(probe); }

    std::vector<ShownWindow> shown() const;
    QStringList shownTitles() const;
    std::vector<PauseTaken> pauses() const;
    // Lengths of the pauses from the index given on.
    std::vector<int> pauseLengths(std::size_t from = 0) const;
    std::size_t pauseCount() const;

    std::vector<WindowState> visibleWindows() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static void onPause(int ms);
    void recordPause(int ms);
    void recordShow(QWidget* window);
    void recordPaint(QWidget* widget);

    mutable std::mutex mutex_;
    std::vector<ShownWindow> shown_;
    std::vector<PauseTaken> pauses_;
    QHash<const QWidget*, QStringList> painted_;
    std::function<void(int)> probe_;
    std::atomic<bool> shorten_{false};
};

}  // namespace quillet::e2e
