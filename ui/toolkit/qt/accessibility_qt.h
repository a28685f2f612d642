#pragma once

class QLabel;
class QWidget;

namespace quillet {

// What a screen reader learns over Qt's accessibility framework beyond what the widgets tell
// it themselves.

// Has windows whose template is an alert presented as alerts. Called once, before the first
// window is made.
void installAccessibleWindows();

// Tells a screen reader the text the label shows now, once, as a notification: AT-SPI
// passes its showing to Orca, which speaks it.
void announceText(QLabel& label);

// Tells a screen reader where the focus is in the window, as the window is active again
// after a modal window over it has closed.
void reportFocusReturned(QWidget& window);

// While a screen reader is listening, answers its questions about a window just shown
// before the window thread blocks: they go quiet, or a second passes.
void answerScreenReaders();

}  // namespace quillet
