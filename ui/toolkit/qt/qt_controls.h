#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QString>

namespace quillet {

// The standard controls a dialog template can ask for, where Qt's own widgets behave
// differently from dialog controls: they tell user changes apart from changes by code.

// A one-line edit box. textUpdated follows every change of the content, by the user or by
// code, synchronously inside the call that made it. Of what the user pastes, drops or
// composes it takes the text up to the first line end (CR or LF), as the dialog manager's
// one-line box does. With the no-scroll style it takes of what the user inserts only as much
// as its width still shows, from the start of the inserted text; code may still set any text.
class EditBox : public QLineEdit {
    Q_OBJECT
  public:
    explicit EditBox(QWidget* parent = nullptr);

    void setNoHorizontalScroll(bool on);
    bool noHorizontalScroll() const { return noHScroll_; }

    // Width in pixels that the text may take without scrolling.
    int visibleTextWidth() const;
    bool userInputInProgress() const { return userInputDepth_ > 0; }
    // The content as it was after the last change, and its width.
    const QString& lastText() const { return lastText_; }
    int lastTextWidth() const;

    // Runs a change made by code; raises textUpdated once even when the text stays as it
    // was, as the dialog manager's edit box does.
    template <class Change>
    void changeByCode(Change change) {
        const int before = updates_;
        change();
        if (updates_ == before) {
            onTextChanged(text());
        }
    }

  signals:
    void textUpdated(const QString& text);

  protected:
    bool event(QEvent* e) override;

  private:
    void onTextChanged(const QString& text);

    bool noHScroll_ = false;
    int userInputDepth_ = 0;
    int updates_ = 0;
    QString lastText_;
};

// A list box. userSelectionChanged follows a change of the selection made by the user only;
// selecting from code (setCurrentSelection) does not notify.
class ListBox : public QListWidget {
    Q_OBJECT
  public:
    explicit ListBox(QWidget* parent = nullptr);

    // The selected entry, or -1 when none is.
    int currentSelection() const;
    // Selects the entry (or none for -1) without notifying.
    void setCurrentSelection(int row);

  signals:
    void userSelectionChanged();

  protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

  private:
    struct UserInput;

    int userInputDepth_ = 0;
};

// A drop-down list (a combo box with no edit field). userSelectionChanged follows a change
// of the current entry made by the user only; setCurrentIndex does not notify.
class DropDownList : public QComboBox {
    Q_OBJECT
  public:
    explicit DropDownList(QWidget* parent = nullptr);

    void showPopup() override;

  signals:
    void userSelectionChanged();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

  private:
    int changesSinceInteraction_ = 0;
};

}  // namespace quillet
