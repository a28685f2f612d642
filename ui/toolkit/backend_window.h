#pragma once

// What each backend defines for the dialog code the backends share (dialog.cpp).

namespace quillet {

class DialogWindow;

// Ends the window's modal run with the result, or hides a modeless window.
void endWindow(DialogWindow& window, int result);

// Drops the keys and clicks that wait in the input queue of the window thread, and nothing
// else: paint, close and timer events stay.
void discardQueuedInput();

}  // namespace quillet
