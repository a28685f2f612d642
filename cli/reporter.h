#pragma once

#include <string>

// What kv31 tells on stderr besides its data: errors, progress, steps and the trace.
namespace kv31cli {

struct ReportSettings {
    bool verbose = false;  // steps, and progress off a terminal too
    bool trace = false;    // every byte sent and received
};

// Once, before the first exchange. With trace on, it watches the link's traffic.
void startReporting(const ReportSettings& settings);
// Stops watching the traffic and clears a progress line.
void stopReporting();

// "reading line 3 of 6": on a terminal redrawn on one line; off a terminal one line
// each, with -v only.
void showProgress(const std::string& text);
// Clears the progress line, if one is shown.
void endProgress();

// A step worth telling with -v ("line 4 is the same: not written").
void note(const std::string& text);

// "kv31: <text>", on a line of its own.
void reportError(const std::string& text);

}  // namespace kv31cli
