#pragma once

#include <span>

namespace quillet {

// The icons' SVG drawings, embedded at build time from app_icon.svg and warning_icon.svg.
std::span<const unsigned char> appIconDrawing();
std::span<const unsigned char> warningIconDrawing();

}  // namespace quillet
