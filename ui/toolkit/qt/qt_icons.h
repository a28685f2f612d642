#pragma once

#include <QIcon>

#include "ui/toolkit/resources.h"

namespace quillet {

// The icon as Qt draws it: the catalogue's SVG drawing at the usual sizes, or the style's
// warning icon where the catalogue asks for the system's; null for a null icon.
QIcon qtIcon(const Icon& icon);

}  // namespace quillet
