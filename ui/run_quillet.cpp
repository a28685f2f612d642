#include "ui/run_quillet.h"

#include "ui/application.h"

namespace quillet {

int runQuillet(int argc, char** argv) {
    Application application(argc, argv);
    return application.run();
}

}  // namespace quillet
