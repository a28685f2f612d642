#include "ui/header_editor.h"

namespace quillet {

HeaderEditor::HeaderEditor() : Dialog(135) {}

void HeaderEditor::prepareEdit(int line, std::string_view, int, Alignment) {
    line_ = line;
}

bool HeaderEditor::onInitDialog() {
    Dialog::onInitDialog();
    setWindowTitle(QStringLiteral("Header Message #%1").arg(line_));
    return true;
}

}  // namespace quillet
