#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QMenu;

namespace quillet {

class DialogWindow;

// The window menu of a dialog whose template has a system menu. The window manager owns
// the real one, so the toolkit shows one of its own on Alt+Space and on a right-click on
// the dialog's background; a choice reaches the dialog's system command hook with the
// entry's identifier. Made afresh with each window.
class WindowMenu : public QObject {
  public:
    explicit WindowMenu(DialogWindow& window);
    ~WindowMenu() override;

    void appendSeparator();
    void appendEntry(int id, const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool onBackground(QPoint pos) const;
    void choose(int id);

    DialogWindow& window_;
    QPointer<QMenu> menu_;
};

}  // namespace quillet
