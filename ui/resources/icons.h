#pragma once

#include <QIcon>

namespace quillet {

// The icon resource with that number (128 application, 133 warning); a null icon otherwise.
QIcon loadIcon(int id);

}  // namespace quillet
