// The dialog base's behaviour that does not depend on the backend: construction, the
// records of the main window and the open windows, the handler table's dispatch and the
// default handlers.
#include "ui/toolkit/dialog.h"

#include <algorithm>

#include "ui/toolkit/backend_window.h"
#include "ui/toolkit/paint_context.h"
#include "ui/toolkit/testing/dialog_testing.h"

namespace quillet {
namespace {

Dialog*& mainWindowRecord() {
    static Dialog* window = nullptr;
    return window;
}

std::vector<Dialog*>& openWindowRecord() {
    static std::vector<Dialog*> windows;
    return windows;
}

const DialogTemplate& templateOrEmpty(int id) {
    static const DialogTemplate kEmpty{};
    const DialogTemplate* found = findDialogTemplate(id);
    return found != nullptr ? *found : kEmpty;
}

}  // namespace

Dialog::Dialog(int templateId, Dialog* owner)
    : template_(&templateOrEmpty(templateId)), explicitOwner_(owner) {}

Dialog::~Dialog() {
    destroyWindow();
    if (mainWindow() == this) {
        setMainWindow(nullptr);
    }
}

void Dialog::endDialog(int result) {
    if (window_ != nullptr) {
        endWindow(*window_, result);
    }
}

void Dialog::setMainWindow(Dialog* window) {
    mainWindowRecord() = window;
}

Dialog* Dialog::mainWindow() {
    return mainWindowRecord();
}

// A testing hook, beside the record it reads.
std::vector<Dialog*> openWindows() {
    return openWindowRecord();
}

void Dialog::noteWindowCreated() {
    std::vector<Dialog*>& windows = openWindowRecord();
    std::erase(windows, this);
    windows.push_back(this);
}

void Dialog::noteWindowDestroyed() {
    std::erase(openWindowRecord(), this);
}

bool Dialog::hasWindow() const {
    return window_ != nullptr;
}

// A button may start an exchange with the printer that holds the window thread until it
// ends; the keys and clicks given meanwhile were aimed at a window that did not answer, and
// would act on what the user has not seen yet (a double click would run the action twice).
void Dialog::dispatchNotification(int controlId, Notification notification) {
    runHandler(controlId, notification);
    if (notification == Notification::Clicked) {
        discardQueuedInput();
    }
}

void Dialog::runHandler(int controlId, Notification notification) {
    for (const MessageEntry& entry : messageMap()) {
        if (entry.controlId == controlId && entry.notification == notification) {
            (this->*entry.handler)();
            return;
        }
    }
    if (notification != Notification::Clicked) {
        return;
    }
    if (controlId == kIdOk) {
        onOK();
    } else if (controlId == kIdCancel) {
        onCancel();
    }
}

// The main window's initialisation is the start-up's exchange; any window's is made while
// the user cannot see it yet.
bool Dialog::dispatchInitDialog() {
    const bool focusFirstTabStop = onInitDialog();
    discardQueuedInput();
    return focusFirstTabStop;
}

bool Dialog::dispatchSysCommand(int id) {
    defaultSysCommand_ = false;
    onSysCommand(id);
    return defaultSysCommand_;
}

bool Dialog::dispatchPaint(PaintContext& paint) {
    return onPaint(paint);
}

Icon Dialog::dispatchQueryDragIcon() {
    return onQueryDragIcon();
}

bool Dialog::onInitDialog() {
    updateData();
    return true;
}

void Dialog::onOK() {
    if (!updateData()) {
        return;
    }
    endDialog(kIdOk);
}

void Dialog::onCancel() {
    endDialog(kIdCancel);
}

void Dialog::onSysCommand(int) {
    defaultSysCommand_ = true;
}

bool Dialog::onPaint(PaintContext&) {
    return false;
}

}  // namespace quillet
