#pragma once

#include "ui/toolkit/resources.h"

namespace quillet {

// Everything Quillet's windows take from resources: the six dialog templates, string 101
// and icons 128 and 133. The application hands it to the toolkit.
const ResourceCatalog& quilletResources();

}  // namespace quillet
