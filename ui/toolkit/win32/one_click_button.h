#pragma once

#include <windows.h>

namespace quillet::win32 {

// A push button that takes a double click as one click: the second press of a double click
// is not a press. (The button class makes it one, so a double click would act twice.)
void takeDoubleClickAsOne(HWND button);

}  // namespace quillet::win32
