#include "ui/toolkit/controls.h"

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

// Refuses a user change that makes the text wider than the box shows. A text made too wide
// by code may still shrink. Code's own changes always pass, so Qt never marks the box as
// holding invalid input (it would then stop refusing).
class FitWidthValidator : public QValidator {
  public:
    explicit FitWidthValidator(EditBox* box) : QValidator(box), box_(box) {}

    State validate(QString& input, int&) const override {
        if (!box_->noHorizontalScroll() || !box_->userInputInProgress()) {
            return Acceptable;
        }
        const int width = box_->fontMetrics().horizontalAdvance(input);
        if (width <= box_->visibleTextWidth() || width <= box_->lastTextWidth()) {
            return Acceptable;
        }
        return Invalid;
    }

  private:
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
