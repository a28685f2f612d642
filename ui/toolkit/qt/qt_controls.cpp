// The Qt widgets behind the standard controls.
//
// Where they still differ from the dialog manager's controls:
// - A no-scroll text box cuts what the user types or pastes to its width, but text set by
//   code is never cut.
#include "ui/toolkit/qt/qt_controls.h"

#include <algorithm>

#include <QEvent>
#include <QItemSelectionModel>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>

namespace quillet {
namespace {

// QLineEdit keeps this much room on each side of its text, plus a one-pixel caret.
constexpr int kLineEditTextMargin = 2;
constexpr int kCaretWidth = 1;

// Keeps a user's change within the width the box shows. Of an insertion (typed, pasted,
// dropped or composed) it keeps what still fits, from the start of the inserted text, as the
// dialog manager's edit box does; a change that keeps the text no wider than it was passes,
// so a text made too wide by code may still shrink. Code's own changes always pass, so Qt
// never marks the box as holding invalid input (it would then stop checking).
class FitWidthValidator : public QValidator {
  public:
    explicit FitWidthValidator(EditBox* box) : QValidator(box), box_(box) {}

    State validate(QString& input, int& cursor) const override {
        if (!box_->noHorizontalScroll() || !box_->userInputInProgress() || fits(input)) {
            return Acceptable;
        }
        const QString& before = box_->lastText();
        const qsizetype shorter = std::min(before.size(), input.size());
        qsizetype head = 0;
        while (head < shorter && before[head] == input[head]) {
            ++head;
        }
        qsizetype tail = 0;
        while (tail < shorter - head &&
               before[before.size() - 1 - tail] == input[input.size() - 1 - tail]) {
            ++tail;
        }
        QString inserted = input.mid(head, input.size() - head - tail);
        const QString after = input.right(tail);
        while (!inserted.isEmpty() && !fits(input.left(head) + inserted + after)) {
            inserted.chop(1);
        }
        const QString kept = input.left(head) + inserted + after;
        if (kept == before) {
            return Invalid;  // nothing of it fits: no change at all
        }
        input = kept;
        cursor = static_cast<int>(head + inserted.size());
        return Acceptable;
    }

  private:
    bool fits(const QString& text) const {
        const int width = box_->fontMetrics().horizontalAdvance(text);
        return width <= box_->visibleTextWidth() || width <= box_->lastTextWidth();
    }

    EditBox* box_;
};

bool isUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::InputMethod:
        case QEvent::Drop:
        case QEvent::MouseButtonRelease:  // middle-button paste
        case QEvent::ContextMenu:         // its Paste runs inside
        case QEvent::Shortcut:
            return true;
        default:
            return false;
    }
}

}  // namespace

EditBox::EditBox(QWidget* parent) : QLineEdit(parent) {
    setValidator(new FitWidthValidator(this));
    connect(this, &QLineEdit::textChanged, this, &EditBox::onTextChanged);
}

void EditBox::setNoHorizontalScroll(bool on) {
    noHScroll_ = on;
}

int EditBox::visibleTextWidth() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, this)
                               .marginsRemoved(textMargins());
    return contents.width() - 2 * kLineEditTextMargin - kCaretWidth;
}

int EditBox::lastTextWidth() const {
    return fontMetrics().horizontalAdvance(lastText_);
}

bool EditBox::event(QEvent* e) {
    if (!isUserInput(e->type())) {
        return QLineEdit::event(e);
    }
    ++userInputDepth_;
    const bool handled = QLineEdit::event(e);
    --userInputDepth_;
    return handled;
}

void EditBox::onTextChanged(const QString& text) {
    ++updates_;
    lastText_ = text;
    // What the listeners change in turn is their own doing, not the user's.
    const int depth = userInputDepth_;
    userInputDepth_ = 0;
    emit textUpdated(text);
    userInputDepth_ = depth;
}

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (userInputDepth_ > 0) {
            emit userSelectionChanged();
        }
    });
}

int ListBox::currentSelection() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ListBox::setCurrentSelection(int row) {
    if (row < 0 || row >= count()) {
        clearSelection();
        setCurrentRow(-1);
        return;
    }
    setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

// Selection changes made while one of these runs are the user's.
struct ListBox::UserInput {
    explicit UserInput(int& depth) : depth_(depth) { ++depth_; }
    ~UserInput() { --depth_; }
    int& depth_;
};

void ListBox::mousePressEvent(QMouseEvent* e) {
    UserInput scope(userInputDepth_);
    QListWidget::mousePressEvent(e);
}

void ListBox::mouseMoveEvent(QMouseEvent* e) {
    UserInput scope(userInputDepth_);
    QListWidget::mouseMoveEvent(e);
}

void ListBox::mouseReleaseEvent(QMouseEvent* e) {
    UserInput scope(userInputDepth_);
    QListWidget::mouseReleaseEvent(e);
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* e) {
    UserInput scope(userInputDepth_);
    QListWidget::mouseDoubleClickEvent(e);
}

void ListBox::keyPressEvent(QKeyEvent* e) {
    UserInput scope(userInputDepth_);
    QListWidget::keyPressEvent(e);
}

DropDownList::DropDownList(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    connect(this, &QComboBox::currentIndexChanged, this, [this] { ++changesSinceInteraction_; });
    // activated comes from the user only, also when the entry chosen is the current one.
    connect(this, &QComboBox::activated, this, [this] {
        if (changesSinceInteraction_ > 0) {
            changesSinceInteraction_ = 0;
            emit userSelectionChanged();
        }
    });
}

void DropDownList::showPopup() {
    changesSinceInteraction_ = 0;
    QComboBox::showPopup();
}

void DropDownList::keyPressEvent(QKeyEvent* e) {
    changesSinceInteraction_ = 0;
    QComboBox::keyPressEvent(e);
}

void DropDownList::wheelEvent(QWheelEvent* e) {
    changesSinceInteraction_ = 0;
    QComboBox::wheelEvent(e);
}

}  // namespace quillet
