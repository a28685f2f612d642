#include "ui/about_box.h"

#include "ui/resources/resource_ids.h"

namespace quillet {

AboutBox::AboutBox() : Dialog(kAboutBoxId) {}

}  // namespace quillet
