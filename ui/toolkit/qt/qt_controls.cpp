// The Qt widgets behind the standard controls.
//
// Where they still differ from the dialog manager's controls:
// - A no-scroll text box cuts what the user types or pastes to its width, but text set by
//   code is never cut.
#include "ui/toolkit/qt/qt_controls.h"

#include <algorithm>

#include <QEvent>
#include <QFontMetrics>
#include <QItemSelectionModel>
#include <QStringView>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>

namespace quillet {
namespace {

// QLineEdit keeps this much room on each side of its text, plus a one-pixel caret.
constexpr int kLineEditTextMargin = 2;
constexpr int kCaretWidth = 1;

// The longest start of the insertion for which fits(length) holds; fits only turns false
// as the length grows. It looks from short starts up, doubling, then halves the last step,
// so only starts up to twice what is kept are measured: a paste of any length that the box
// shows little of costs little more than the pass that finds it.
template <class Fits>
qsizetype keptLength(qsizetype length, Fits fits) {
    qsizetype low = 0;  // fits
    qsizetype step = 1;
    while (low + step <= length && fits(low + step)) {
        low += step;
        step *= 2;
    }
    qsizetype high = std::min(low + step, length + 1);  // does not fit, or past the end
    while (high - low > 1) {
        const qsizetype middle = low + (high - low) / 2;
        (fits(middle) ? low : high) = middle;
    }
    return low;
}

// Keeps a user's change to what the dialog manager's one-line edit box would take. Of an
// insertion (typed, pasted, dropped or composed) it keeps the text before the first line end,
// and in a box that never scrolls only what still fits, from the start of the inserted text;
// a change that keeps the text no wider than it was passes, so a text made too wide by code
// may still shrink. Code's own changes always pass, so Qt never marks the box as holding
// invalid input (it would then stop checking).
class UserChangeValidator : public QValidator {
  public:
    explicit UserChangeValidator(EditBox* box) : QValidator(box), box_(box) {}

    State validate(QString& input, int& cursor) const override {
        if (!box_->userInputInProgress()) {
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
        const QStringView start = QStringView(input).left(head);
        const QStringView end = QStringView(input).right(tail);
        QStringView inserted = QStringView(input).mid(head, input.size() - head - tail);
        inserted = inserted.left(firstLineEnd(inserted));
        if (box_->noHorizontalScroll()) {
            const int room = std::max(box_->visibleTextWidth(), box_->lastTextWidth());
            const QFontMetrics metrics = box_->fontMetrics();
            const auto fits = [&](qsizetype length) {
                return metrics.horizontalAdvance(joined(start, inserted.left(length), end)) <= room;
            };
            inserted = inserted.left(keptLength(inserted.size(), fits));
        }
        if (start.size() + inserted.size() + end.size() == input.size()) {
            return Acceptable;  // taken whole
        }
        const QString kept = joined(start, inserted, end);
        if (kept == before) {
            return Invalid;  // nothing of it is taken: no change at all
        }
        cursor = static_cast<int>(head + inserted.size());
        input = kept;
        return Acceptable;
    }

  private:
    static QString joined(QStringView start, QStringView middle, QStringView end) {
        QString text;
        text.reserve(start.size() + middle.size() + end.size());
        return text.append(start).append(middle).append(end);
    }

    static qsizetype firstLineEnd(QStringView text) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == u'\r' || text[i] == u'\n') {
                return i;
            }
        }
        return text.size();
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
    setValidator(new UserChangeValidator(this));
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
