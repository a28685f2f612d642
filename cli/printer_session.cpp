#include "cli/printer_session.h"

#include <algorithm>

#include "cli/exit_codes.h"
#include "link/line_reader.h"
#include "link/pause.h"
#include "link/reader_thread.h"
#include "link/serial_port.h"
#include "protocol/header_readback.h"
#include "protocol/printer_commands.h"

namespace kv31cli {

namespace {

constexpr int kBaud = 9600;
// Quillet's pause after the mode-1 command, before the port closes.
constexpr int kCloseSettleMs = 500;

}  // namespace

PrinterSession::~PrinterSession() {
    close();
}

int PrinterSession::open(const std::string& port) {
    const int code = quillet::openAnyPort(port.c_str(), kBaud);
    if (code == quillet::kPortHeldElsewhere) {
        return kExitPortHeld;
    }
    if (code != quillet::kPortOpened) {
        return kExitPortCannotOpen;
    }
    open_ = true;
    send(quillet::kMode5Command);
    if (!quillet::startReader()) {
        return kExitPortCannotOpen;
    }
    return kExitDone;
}

void PrinterSession::close() {
    if (!open_) {
        return;
    }
    open_ = false;
    send(quillet::kMode1Command);
    quillet::pause(kCloseSettleMs);
    quillet::closePort();
}

bool PrinterSession::send(std::string_view bytes) {
    return quillet::writeBytes(bytes.data(), bytes.size());
}

void PrinterSession::prepareExchange(std::size_t capacity) {
    send(quillet::kMode5Command);
    quillet::drainLines(capacity);
}

bool PrinterSession::readLine(int line, quillet::HeaderRecord& record) {
    return quillet::readHeader(line, record);
}

LineContent contentOf(const quillet::HeaderRecord& record) {
    const char* end = std::find(record.text, record.text + sizeof record.text, '\0');
    return {record.font, std::string(record.text, end)};
}

// H<line>,<printer number>,"<text>" LF, as composeHeaderWrite and the default set make them.
bool contentOfWrite(std::string_view command, int& line, LineContent& content) {
    if (command.size() < 8 || command[0] != 'H' || command[2] != ',' || command[4] != ',' ||
        command[5] != '"' || command.substr(command.size() - 2) != "\"\n") {
        return false;
    }
    line = command[1] - '0';
    content.font = command[3] - '1';
    content.text = std::string(command.substr(6, command.size() - 8));
    return line >= 1 && line <= quillet::kHeaderLineCount && content.font >= 0 &&
           content.font < quillet::kFontCount;
}

}  // namespace kv31cli
