#pragma once

#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

namespace quillet {

// Keeps a fixed-size window in its normal state on Wayland. Qt's own title bar there offers
// maximise whatever the window's flags, and the compositor may maximise a window or give it
// the full screen on its own; a maximised surface must take the size it is given, which a
// fixed window cannot, and the compositor then ends the connection. So each such state is
// undone as soon as the compositor has set it. Elsewhere window managers keep fixed windows
// as they are, and this does nothing.
class FixedFrame : public QObject {
  public:
    explicit FixedFrame(QWidget& window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void watch(QWindow& handle);

    QWidget& window_;
    QPointer<QWindow> watched_;
};

}  // namespace quillet
