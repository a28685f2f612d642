#pragma once

#include <windows.h>

#include <vector>

#include "ui/toolkit/dialog_template.h"

namespace quillet::win32 {

// A dialog template as the dialog manager reads it from memory: DLGTEMPLATEEX, then one
// DLGITEMTEMPLATEEX per control in template (tab) order, each on a DWORD boundary.
class NativeTemplate {
  public:
    explicit NativeTemplate(const DialogTemplate& dialog);

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(storage_.data()); }

  private:
    void word(unsigned value) { words_.push_back(static_cast<WORD>(value)); }
    void dword(DWORD value);
    void text(const char* latin1);
    void alignToDword();
    void control(const ControlTemplate& control);

    // Written as WORDs, then kept as DWORDs: the dialog manager wants the start aligned.
    std::vector<WORD> words_;
    std::vector<DWORD> storage_;
};

// Never WS_VISIBLE: the toolkit shows the window once initialisation is over and did not end
// the dialog (the dialog manager would show a visible one even then).
DWORD dialogStyle(const DialogTemplate& dialog);
DWORD dialogExStyle(const DialogTemplate& dialog);
DWORD controlStyle(const ControlTemplate& control);

}  // namespace quillet::win32
