#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>

namespace quillet {

class Dialog;

// The window menu of a dialog. On Windows it is the window's own system menu; where the
// window manager owns that menu, the toolkit shows one of its own on Alt+Space and on a
// right-click on the dialog's background. Either way a choice reaches the dialog's system
// command hook with the entry's identifier.
class SystemMenu {
  public:
    virtual ~SystemMenu() = default;

    virtual void appendSeparator() = 0;
    virtual void appendEntry(int id, const QString& text) = 0;
    // A native window message for the dialog; true when the menu handled it.
    virtual bool handleNativeEvent(void* message, qintptr* result) = 0;

  protected:
    // True when the dialog left the command to the default handling.
    static bool deliver(Dialog& dialog, int id);
};

// The platform's window menu for a dialog whose template has a system menu; made afresh
// each time the dialog's window is created.
std::unique_ptr<SystemMenu> createSystemMenu(Dialog& dialog);

}  // namespace quillet
