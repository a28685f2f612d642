#include "protocol/printer_commands.h"

namespace quillet {

namespace {

constexpr char kEsc = 27;

constexpr char lineDigit(int line) {
    return static_cast<char>('0' + line);
}

}  // namespace

std::array<char, 5> printHeaderCommand(int line) {
    return {kEsc, 'H', kEsc, lineDigit(line), '\n'};
}

std::array<char, 4> headerQueryCommand(int line) {
    return {'R', 'H', lineDigit(line), '\n'};
}

}  // namespace quillet
