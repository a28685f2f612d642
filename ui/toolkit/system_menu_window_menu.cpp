// The window menu where the window manager owns the real one: a menu of the toolkit's own.
#include <QApplication>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>

#include "ui/toolkit/dialog.h"
#include "ui/toolkit/system_menu.h"

namespace quillet {
namespace {

class WindowMenu : public QObject, public SystemMenu {
  public:
    explicit WindowMenu(Dialog& dialog) : dialog_(dialog), menu_(new QMenu(&dialog)) {
        menu_->setObjectName(QStringLiteral("windowMenu"));
        QAction* close = menu_->addAction(QStringLiteral("&Close"));
        close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
        close->setData(kSysCommandClose);
        QObject::connect(menu_, &QMenu::triggered, this, &WindowMenu::choose);
        qApp->installEventFilter(this);
    }

    ~WindowMenu() override {
        qApp->removeEventFilter(this);
        delete menu_.data();
    }

    void appendSeparator() override { menu_->addSeparator(); }

    void appendEntry(int id, const QString& text) override { menu_->addAction(text)->setData(id); }

    bool handleNativeEvent(void*, qintptr*) override { return false; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || widget->window() != &dialog_ || !dialog_.isVisible()) {
            return false;
        }
        if (event->type() == QEvent::KeyPress && isAltSpace(static_cast<QKeyEvent*>(event))) {
            menu_->popup(dialog_.mapToGlobal(dialog_.rect().topLeft()));
            return true;
        }
        if (event->type() == QEvent::ContextMenu && widget == &dialog_) {
            auto* menuEvent = static_cast<QContextMenuEvent*>(event);
            if (onBackground(menuEvent->pos())) {
                menu_->popup(menuEvent->globalPos());
                return true;
            }
        }
        return false;
    }

  private:
    static bool isAltSpace(const QKeyEvent* key) {
        return key->key() == Qt::Key_Space &&
               (key->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier;
    }

    // Statics and group frames are part of the background, as they are to the mouse.
    bool onBackground(QPoint pos) const {
        QWidget* child = dialog_.childAt(pos);
        return child == nullptr || qobject_cast<QLabel*>(child) != nullptr ||
               qobject_cast<QGroupBox*>(child) != nullptr ||
               child->objectName() == QLatin1String("sunkenEdge");
    }

    void choose(QAction* action) {
        const int id = action->data().toInt();
        if (deliver(dialog_, id) && (id & 0xFFF0) == kSysCommandClose) {
            dialog_.close();
        }
    }

    Dialog& dialog_;
    QPointer<QMenu> menu_;
};

}  // namespace

std::unique_ptr<SystemMenu> createSystemMenu(Dialog& dialog) {
    return std::make_unique<WindowMenu>(dialog);
}

}  // namespace quillet
