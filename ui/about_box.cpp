#include "ui/about_box.h"

namespace quillet {

AboutBox::AboutBox() : Dialog(100) {}

}  // namespace quillet
