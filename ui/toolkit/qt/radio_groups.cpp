// Radio button groups with the dialog manager's keyboard.
#include "ui/toolkit/qt/radio_groups.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QEvent>
#include <QKeyEvent>
#include <QRadioButton>

namespace quillet {
namespace {

// Only the checked button of a group is reached by Tab; the others take the focus by click
// or arrow key alone. BM_SETCHECK moves WS_TABSTOP the same way.
void followCheckedButton(QButtonGroup& group) {
    for (QAbstractButton* button : group.buttons()) {
        button->setFocusPolicy(button->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

// The next (or previous) button of the group that can take the focus, wrapping around.
QAbstractButton* neighbour(const QButtonGroup& group, const QAbstractButton* from, bool forward) {
    const QList<QAbstractButton*> buttons = group.buttons();
    const qsizetype count = buttons.size();
    const qsizetype start = buttons.indexOf(from);
    for (qsizetype step = 1; step < count; ++step) {
        const qsizetype index = (start + (forward ? step : count - step)) % count;
        QAbstractButton* candidate = buttons[index];
        if (candidate->isVisible() && candidate->isEnabled()) {
            return candidate;
        }
    }
    return nullptr;
}

class RadioGroupKeys : public QObject {
  public:
    explicit RadioGroupKeys(QButtonGroup& group) : QObject(&group), group_(group) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<const QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
            return false;
        }
        const bool forward = key->key() == Qt::Key_Down || key->key() == Qt::Key_Right;
        const bool backward = key->key() == Qt::Key_Up || key->key() == Qt::Key_Left;
        if (!forward && !backward) {
            return false;
        }
        QAbstractButton* next = neighbour(group_, static_cast<QAbstractButton*>(watched), forward);
        if (next != nullptr) {
            next->setFocus(Qt::TabFocusReason);
            next->click();  // an automatic radio button checks itself and notifies
        }
        return true;
    }

  private:
    QButtonGroup& group_;
};

QButtonGroup* startGroup(QWidget& dialog) {
    auto* group = new QButtonGroup(&dialog);
    group->setExclusive(true);
    auto* keys = new RadioGroupKeys(*group);
    QObject::connect(group, &QButtonGroup::buttonToggled, keys,
                     [group] { followCheckedButton(*group); });
    return group;
}

}  // namespace

void groupRadioButtons(QWidget& dialog, const std::vector<BuiltControl>& controls) {
    QButtonGroup* group = nullptr;
    QButtonGroup* manual = nullptr;  // buttons that check nothing themselves
    for (const BuiltControl& built : controls) {
        if (built.source->flags & Group) {
            group = nullptr;
        }
        auto* radio = qobject_cast<QRadioButton*>(built.widget);
        if (radio == nullptr) {
            continue;
        }
        // Exclusivity comes from the button group; auto-exclusive only makes it a radio
        // button, not a check box, to a screen reader.
        radio->setAutoExclusive(true);
        if (!(built.source->flags & AutoRadio)) {
            if (manual == nullptr) {
                manual = new QButtonGroup(&dialog);
                manual->setExclusive(false);
            }
            manual->addButton(radio);
            continue;
        }
        if (group == nullptr) {
            group = startGroup(dialog);
        }
        group->addButton(radio);
        radio->installEventFilter(group->findChild<RadioGroupKeys*>());
        followCheckedButton(*group);
    }
}

}  // namespace quillet
