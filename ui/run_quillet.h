#pragma once

namespace quillet {

// The whole program: the application object and its main window. Returns the exit code.
int runQuillet(int argc, char** argv);

}  // namespace quillet
