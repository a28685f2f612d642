#pragma once

// Stand-in until the header editor lands: the interface the main window uses.
#include <string_view>

#include "protocol/header_record.h"
#include "ui/toolkit/dialog.h"

namespace quillet {

class HeaderEditor : public Dialog {
    Q_OBJECT
  public:
    HeaderEditor();
    void prepareEdit(int line, std::string_view text, int font, Alignment alignment);

  protected:
    bool onInitDialog() override;

  private:
    int line_ = 1;
};

}  // namespace quillet
