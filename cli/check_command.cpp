// check: what a write would do with a text, without a printer.
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/byte_display.h"
#include "cli/commands.h"
#include "cli/exchanges.h"
#include "cli/exit_codes.h"
#include "cli/reporter.h"
#include "cli/text_checks.h"
#include "protocol/header_write.h"
#include "protocol/printer_font.h"

namespace kv31cli {

namespace {

// The bytes shown are those of a write to line 1; any line gives the same text.
constexpr int kShownLine = 1;

void printJson(const Options& options, const std::string& problem, const std::string& command) {
    nlohmann::ordered_json result = {
        {"font", options.font + 1},
        {"fontName", quillet::kPrinterFonts[options.font].listName},
        {"dots", quillet::printedWidth(options.font, options.text)},
        {"lineDots", quillet::kLineWidthDots},
        {"characters", options.text.size()},
        {"fittingCharacters", quillet::fitLength(options.font, options.text)},
        {"fits", problem.empty()},
    };
    if (problem.empty()) {
        result["bytes"] = readableCommand(command);
    } else {
        result["problem"] = problem;
    }
    // Replacing invalid bytes keeps the output JSON whatever the text held.
    std::printf(
        "%s\n",
        result.dump(2, ' ', true, nlohmann::ordered_json::error_handler_t::replace).c_str());
}

}  // namespace

int runCheckCommand(const Options& options) {
    const std::string problem = writeTextProblem(0, options.font, options.text);
    std::string command;
    if (problem.empty()) {
        quillet::composeHeaderWrite(kShownLine, options.font, options.alignment, options.text,
                                    command);
    }
    if (options.json) {
        printJson(options, problem, command);
    } else {
        std::printf("font:  %s\n", describeFont(options.font).c_str());
        std::printf("width: %d of %d dots, %zu characters\n",
                    quillet::printedWidth(options.font, options.text), quillet::kLineWidthDots,
                    options.text.size());
        std::printf("fits:  the first %zu of %zu characters\n",
                    quillet::fitLength(options.font, options.text), options.text.size());
        if (problem.empty()) {
            std::printf("bytes: %s\n", readableCommand(command).c_str());
        }
    }
    if (!problem.empty()) {
        reportError(problem);
        return kExitRejected;
    }
    return kExitDone;
}

}  // namespace kv31cli
