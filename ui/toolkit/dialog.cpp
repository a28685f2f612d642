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

// The system's request that the program end, and the handlers it waits for.
struct EndRecord {
    int handlersRunning = 0;
    bool requested = false;
    bool done = false;
};

EndRecord& endRecord() {
    static EndRecord record;
    return record;
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
        ended_ = true;
        endWindow(*window_, result);
    }
}

// A new main window is a new run of the program.
void Dialog::setMainWindow(Dialog* window) {
    mainWindowRecord() = window;
    if (window != nullptr) {
        endRecord() = EndRecord{};
    }
}

// The windows over the main window go first, so that the handlers under them return.
void Dialog::requestEnd(EndTiming timing) {
    EndRecord& record = endRecord();
    if (!record.requested) {
        record.requested = true;
        const std::vector<Dialog*> open = openWindowRecord();
        for (auto it = open.rbegin(); it != open.rend(); ++it) {
            if (*it != mainWindow() && (*it)->modal_ && !(*it)->ended_) {
                (*it)->endDialog(kIdCancel);
            }
        }
    }
    if (record.handlersRunning == 0 || timing == EndTiming::Now) {
        finishEnd();
    }
}

// As Cancel: the main window switches the printer back and closes the port.
void Dialog::finishEnd() {
    EndRecord& record = endRecord();
    Dialog* main = mainWindow();
    if (record.done || main == nullptr || !main->hasWindow() || main->ended_) {
        return;
    }
    record.done = true;
    main->dispatchNotification(kIdCancel, Notification::Clicked);
}

Dialog::HandlerScope::HandlerScope() {
    ++endRecord().handlersRunning;
}

Dialog::HandlerScope::~HandlerScope() {
    EndRecord& record = endRecord();
    if (--record.handlersRunning == 0 && record.requested) {
        finishEnd();
    }
}

Dialog* Dialog::mainWindow() {
    return mainWindowRecord();
}

// A testing hook, beside the record it reads.
std::vector<Dialog*> openWindows() {
    return openWindowRecord();
}

void Dialog::noteWindowCreated() {
    ended_ = false;
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
    const HandlerScope running;
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
// While the program ends, no other window comes up.
bool Dialog::dispatchInitDialog() {
    if (endRecord().requested && this != mainWindow()) {
        endDialog(kIdCancel);
        return false;
    }
    const HandlerScope running;
    const bool focusFirstTabStop = onInitDialog();
    discardQueuedInput();
    return focusFirstTabStop;
}

bool Dialog::dispatchSysCommand(int id) {
    const HandlerScope running;
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
