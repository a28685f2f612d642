#pragma once

#include <windows.h>

#include "ui/toolkit/resources.h"

namespace quillet::win32 {

enum class IconSize { Large, Small };

// The icon resource at the system's icon size, loaded once and shared; null for a null
// icon or one the program does not hold.
HICON iconHandle(const Icon& icon, IconSize size);

}  // namespace quillet::win32
