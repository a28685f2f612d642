#include <cstdio>

#include "cli/commands.h"
#include "cli/exit_codes.h"

namespace kv31cli {

// Lists the serial ports here and sends nothing to any of them.
int runPortsCommand(const Options& options) {
    static_cast<void>(options);
    std::fputs("kv31: ports: not available yet\n", stderr);
    return kExitPortCannotOpen;
}

}  // namespace kv31cli
