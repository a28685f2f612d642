#pragma once

// Pictures of single windows on the runner's X server, for review by eye. The whole screen
// cannot be used: Wine's windows come out black in it.

#include <filesystem>
#include <string>

namespace quillet::wine {

// Saves the top-level window with exactly this title as a PNG; empty on success, else why
// not. Uses xwininfo and xwd (x11-utils, x11-apps) and ImageMagick's convert.
std::string captureWindow(const std::string& title, const std::filesystem::path& png);

}  // namespace quillet::wine
