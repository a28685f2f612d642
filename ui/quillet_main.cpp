#include "ui/run_quillet.h"

int main(int argc, char** argv) {
    return quillet::runQuillet(argc, argv);
}
