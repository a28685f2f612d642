#include "ui/wait_window.h"

#include "ui/resources/resource_ids.h"

namespace quillet {

WaitWindow::WaitWindow() : Dialog(kWaitWindowId) {
    createModeless();
}

}  // namespace quillet
