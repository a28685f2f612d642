// The control handles' operations on the Qt widgets the dialog builder made.
//
// Where they still differ from the dialog manager:
// - After setText the caret of a text box is at the end of the text.
// - setText with the text the control already holds raises no TextUpdated.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QVariant>
#include <algorithm>

#include "ui/toolkit/controls.h"
#include "ui/toolkit/qt/accessibility_qt.h"
#include "ui/toolkit/qt/dialog_builder.h"
#include "ui/toolkit/qt/qt_bytes.h"
#include "ui/toolkit/qt/qt_controls.h"

namespace quillet {
namespace {

QWidget* widgetOf(const Control& control) {
    return static_cast<QWidget*>(control.native());
}

template <class T>
T* as(const Control& control) {
    return qobject_cast<T*>(widgetOf(control));
}

}  // namespace

// --- Control --------------------------------------------------------------------------------

void Control::show(bool visible) {
    if (QWidget* widget = widgetOf(*this)) {
        widget->setVisible(visible);
    }
}

bool Control::isVisible() const {
    const QWidget* widget = widgetOf(*this);
    return widget != nullptr && widget->isVisible();
}

void Control::setEnabled(bool enabled) {
    if (QWidget* widget = widgetOf(*this)) {
        widget->setEnabled(enabled);
    }
}

bool Control::isEnabled() const {
    const QWidget* widget = widgetOf(*this);
    return widget != nullptr && widget->isEnabled();
}

void Control::setText(std::string_view text) {
    if (auto* edit = as<EditBox>(*this)) {
        edit->changeByCode([&] { edit->setText(fromBytes(text)); });
    } else if (auto* label = as<QLabel>(*this)) {
        setStaticText(*label, fromBytes(text));
    } else if (auto* button = as<QAbstractButton>(*this)) {
        button->setText(fromBytes(text));
    } else if (auto* group = as<QGroupBox>(*this)) {
        group->setTitle(fromBytes(text));
    }
}

std::string Control::text() const {
    if (const auto* edit = as<EditBox>(*this)) {
        return toBytes(edit->text());
    }
    if (const auto* label = as<QLabel>(*this)) {
        return toBytes(staticText(*label));
    }
    if (const auto* button = as<QAbstractButton>(*this)) {
        return toBytes(button->text());
    }
    if (const auto* group = as<QGroupBox>(*this)) {
        return toBytes(group->title());
    }
    if (const auto* dropDown = as<DropDownList>(*this)) {
        return toBytes(dropDown->currentText());
    }
    return {};
}

// --- ButtonControl --------------------------------------------------------------------------

bool ButtonControl::isChecked() const {
    const auto* button = as<QAbstractButton>(*this);
    return button != nullptr && button->isChecked();
}

// Sets this button alone, as the dialog manager does; the others of its group keep theirs.
void ButtonControl::setChecked(bool checked) {
    auto* button = as<QAbstractButton>(*this);
    if (button == nullptr) {
        return;
    }
    QButtonGroup* group = button->group();
    const bool exclusive = group != nullptr && group->exclusive();
    if (exclusive) {
        group->setExclusive(false);
    }
    button->setChecked(checked);
    if (exclusive) {
        group->setExclusive(true);
    }
}

// --- StaticControl --------------------------------------------------------------------------

void StaticControl::announce() {
    if (auto* label = as<QLabel>(*this)) {
        announceText(*label);
    }
}

// --- EditControl ----------------------------------------------------------------------------

int EditControl::getLine(char* buffer, int maxChars) const {
    const auto* edit = as<EditBox>(*this);
    if (edit == nullptr || buffer == nullptr || maxChars <= 0) {
        return 0;
    }
    const std::string bytes = toBytes(edit->text());
    const int count = std::min(maxChars, static_cast<int>(bytes.size()));
    std::copy_n(bytes.data(), count, buffer);
    return count;
}

void EditControl::setSelection(int start, int end) {
    auto* edit = as<EditBox>(*this);
    if (edit == nullptr) {
        return;
    }
    const int length = static_cast<int>(edit->text().size());
    if (start < 0) {
        edit->deselect();
        return;
    }
    start = std::min(start, length);
    end = (end < 0 || end > length) ? length : end;
    edit->setSelection(start, end - start);
}

void EditControl::clearSelection() {
    if (auto* edit = as<EditBox>(*this)) {
        edit->changeByCode([edit] {
            if (edit->hasSelectedText()) {
                edit->del();
            }
        });
    }
}

// Set as a whole text, so that no undo step is kept; the caret ends after the new text.
void EditControl::replaceSelection(std::string_view text) {
    auto* edit = as<EditBox>(*this);
    if (edit == nullptr) {
        return;
    }
    QString content = edit->text();
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const int length = edit->hasSelectedText() ? edit->selectionLength() : 0;
    const QString inserted = fromBytes(text);
    content.replace(start, length, inserted);
    edit->changeByCode([&] { edit->setText(content); });
    edit->setCursorPosition(start + static_cast<int>(inserted.size()));
}

// --- ListBoxControl -------------------------------------------------------------------------

void ListBoxControl::resetContent() {
    if (auto* list = as<ListBox>(*this)) {
        list->clear();
    }
}

void ListBoxControl::addString(std::string_view text) {
    if (auto* list = as<ListBox>(*this)) {
        list->addItem(fromBytes(text));
    }
}

void ListBoxControl::insertString(int index, std::string_view text) {
    if (auto* list = as<ListBox>(*this)) {
        list->insertItem(index < 0 || index > list->count() ? list->count() : index,
                         fromBytes(text));
    }
}

void ListBoxControl::deleteString(int index) {
    auto* list = as<ListBox>(*this);
    if (list != nullptr && index >= 0 && index < list->count()) {
        delete list->takeItem(index);
    }
}

int ListBoxControl::count() const {
    const auto* list = as<ListBox>(*this);
    return list != nullptr ? list->count() : 0;
}

std::string ListBoxControl::itemText(int index) const {
    const auto* list = as<ListBox>(*this);
    if (list == nullptr || index < 0 || index >= list->count()) {
        return {};
    }
    return toBytes(list->item(index)->text());
}

int ListBoxControl::currentSelection() const {
    const auto* list = as<ListBox>(*this);
    return list != nullptr ? list->currentSelection() : -1;
}

void ListBoxControl::setCurrentSelection(int index) {
    if (auto* list = as<ListBox>(*this)) {
        list->setCurrentSelection(index);
    }
}

// --- DropDownControl ------------------------------------------------------------------------

void DropDownControl::resetContent() {
    if (auto* list = as<DropDownList>(*this)) {
        list->clear();
    }
}

void DropDownControl::addString(std::string_view text) {
    if (auto* list = as<DropDownList>(*this)) {
        list->addItem(fromBytes(text));
    }
}

int DropDownControl::count() const {
    const auto* list = as<DropDownList>(*this);
    return list != nullptr ? list->count() : 0;
}

std::string DropDownControl::itemText(int index) const {
    const auto* list = as<DropDownList>(*this);
    if (list == nullptr || index < 0 || index >= list->count()) {
        return {};
    }
    return toBytes(list->itemText(index));
}

int DropDownControl::currentSelection() const {
    const auto* list = as<DropDownList>(*this);
    return list != nullptr ? list->currentIndex() : -1;
}

void DropDownControl::setCurrentSelection(int index) {
    if (auto* list = as<DropDownList>(*this)) {
        list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
    }
}

void DropDownControl::setTopIndex(int index) {
    auto* list = as<DropDownList>(*this);
    if (list != nullptr && index >= 0 && index < list->count()) {
        list->view()->scrollTo(list->model()->index(index, 0), QAbstractItemView::PositionAtTop);
    }
}

}  // namespace quillet
