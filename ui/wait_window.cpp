#include "ui/wait_window.h"

namespace quillet {

WaitWindow::WaitWindow() : Dialog(137) {
    createModeless();
}

}  // namespace quillet
