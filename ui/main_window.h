#pragma once

#include <string>
#include <string_view>

#include "protocol/header_record.h"
#include "ui/header_editor.h"
#include "ui/toolkit/dialog.h"

namespace quillet {

class FailureNotice;

// The application's one window: the six header lines the printer holds, and the actions on
// them. Its initialisation is the whole start-up: port choice, open, reader, first load.
// Every exchange with the printer runs to its end on the window thread.
class MainWindow : public Dialog {
  public:
    MainWindow();

    // What the window holds of the printer's lines, as last read back.
    const HeaderTable& headerTable() const { return headers_; }

  protected:
    bool doDataExchange() override;
    bool onInitDialog() override;
    void onOK() override;
    void onCancel() override;
    void onSysCommand(int id) override;
    bool onPaint(PaintContext& paint) override;
    Icon onQueryDragIcon() override;
    MessageMap messageMap() const override;

  private:
    // Start-up
    void addAboutEntry();
    bool openChosenPort(FailureNotice& notice);
    bool startReading(FailureNotice& notice);

    void loadAllHeaders();
    // Reads line 1 to 6 back into its record, which gets the failure values when that fails.
    // True when it was read back; entry is the line's list entry either way.
    bool readLine(int line, std::string& entry);
    void replaceEntry(int index, const std::string& entry);
    // Modify... is enabled exactly while one of the six lines is selected.
    void enableModifyForSelection();
    void closeLink();

    // Handlers
    void onPrintTestPage();
    void onSetDefaults();
    void onSelectionChanged();
    void onModify();

    // Commands are sent without looking at the result: a failed write shows in the next
    // readback, where there is one.
    static void sendUnchecked(std::string_view command);
    static void showCommunicationFailure();

    ButtonControl modifyButton_;
    ListBoxControl list_;
    HeaderTable headers_;
    Icon appIcon_;
    HeaderEditor editor_;
};

}  // namespace quillet
