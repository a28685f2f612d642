#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "link/port_platform.h"
#include "link/serial_port.h"
#include "link/testing/link_testing.h"

namespace quillet {

namespace {

constexpr DWORD kQueueBytes = 4096;

struct LinkState {
    std::atomic<HANDLE> port{INVALID_HANDLE_VALUE};
    // Used by every readByte; the event is made on the first one and kept.
    OVERLAPPED readRecord{};
    HANDLE readEvent = nullptr;
    // Cuts a pending read short; made on the window thread before any reader runs.
    HANDLE stopEvent = nullptr;
};

LinkState linkState;

void applyLineSettings(DCB& dcb, int baud) {
    dcb.BaudRate = static_cast<DWORD>(baud);
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fAbortOnError = FALSE;
}

int configure(HANDLE port, int baud) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port, &dcb)) {
        return kPortSettingsUnreadable;
    }
    if (baud <= 0) {
        return kPortSettingsRefused;
    }
    applyLineSettings(dcb, baud);
    if (!SetCommState(port, &dcb)) {
        return kPortSettingsRefused;
    }
    // All zero: a read ends when its bytes have come, a write when all are sent; the
    // writes' own time limit is kept by writeBytes.
    COMMTIMEOUTS timeouts{};
    GetCommTimeouts(port, &timeouts);
    timeouts = COMMTIMEOUTS{};
    if (!SetCommTimeouts(port, &timeouts)) {
        return kPortTimeoutsRefused;
    }
    SetupComm(port, kQueueBytes, kQueueBytes);
    PurgeComm(port, PURGE_TXCLEAR | PURGE_RXCLEAR);
    return kPortOpened;
}

// Waits for a write that was started; true iff it moved expected bytes in time. A write
// still pending then is cancelled, and what it left in the driver is thrown away, so that
// it cannot go out later in the middle of the next command.
bool finishWrite(HANDLE port, OVERLAPPED& record, DWORD expected, long long limitMs) {
    const DWORD waitMs = static_cast<DWORD>(std::min<long long>(limitMs, INFINITE - 1));
    if (WaitForSingleObject(record.hEvent, waitMs) != WAIT_OBJECT_0) {
        CancelIoEx(port, &record);
        DWORD ignored = 0;
        GetOverlappedResult(port, &record, &ignored, TRUE);
        PurgeComm(port, PURGE_TXCLEAR);
        return false;
    }
    DWORD moved = 0;
    return GetOverlappedResult(port, &record, &moved, FALSE) && moved == expected;
}

}  // namespace

bool prepareReaderWake() {
    if (linkState.stopEvent == nullptr) {
        linkState.stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    return linkState.stopEvent != nullptr;
}

std::string deviceForName(const char* name) {
    return std::string("\\\\.\\") + name;
}

int openDevice(const std::string& path, int baud) {
    HANDLE port = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        // A serial port that another program has open refuses every other open so.
        const DWORD error = GetLastError();
        return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? kPortHeldElsewhere
                                                                                : kPortCannotOpen;
    }
    const int code = configure(port, baud);
    if (code != kPortOpened) {
        CloseHandle(port);
        return code;
    }
    linkState.port.store(port);
    return kPortOpened;
}

void closeDevice() {
    HANDLE port = linkState.port.exchange(INVALID_HANDLE_VALUE);
    if (port != INVALID_HANDLE_VALUE) {
        CloseHandle(port);
    }
}

bool writeDevice(const unsigned char* bytes, std::size_t count, long long limitMs) {
    HANDLE port = linkState.port.load();
    if (port == INVALID_HANDLE_VALUE || count > MAXDWORD) {
        return false;
    }
    const DWORD expected = static_cast<DWORD>(count);
    OVERLAPPED record{};
    record.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (record.hEvent == nullptr) {
        return false;
    }
    DWORD written = 0;
    bool sent = false;
    if (WriteFile(port, bytes, expected, &written, &record)) {
        sent = written == expected;
    } else if (GetLastError() == ERROR_IO_PENDING) {
        sent = finishWrite(port, record, expected, limitMs);
    }
    CloseHandle(record.hEvent);
    return sent;
}

bool readByte(unsigned char& out) {
    HANDLE port = linkState.port.load();
    if (port == INVALID_HANDLE_VALUE) {
        return false;
    }
    if (linkState.readEvent == nullptr) {
        linkState.readEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (linkState.readEvent == nullptr) {
            return false;
        }
    }
    OVERLAPPED& record = linkState.readRecord;
    record = OVERLAPPED{};
    record.hEvent = linkState.readEvent;
    // The byte lands here while the read is pending; every path waits for the read to end.
    unsigned char byte = 0;
    DWORD got = 0;
    if (ReadFile(port, &byte, 1, &got, &record)) {
        out = byte;
        return got == 1;
    }
    if (GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    const HANDLE events[2] = {linkState.readEvent, linkState.stopEvent};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
        CancelIoEx(port, &record);
        GetOverlappedResult(port, &record, &got, TRUE);
        return false;
    }
    if (!GetOverlappedResult(port, &record, &got, FALSE) || got != 1) {
        return false;
    }
    out = byte;
    return true;
}

void* openPortHandle() {
    return linkState.port.load();
}

bool portIsOpen() {
    return linkState.port.load() != INVALID_HANDLE_VALUE;
}

void wakeReader() {
    SetEvent(linkState.stopEvent);
    HANDLE port = linkState.port.load();
    if (port != INVALID_HANDLE_VALUE) {
        CancelIoEx(port, &linkState.readRecord);
    }
}

void flushPortInput() {
    HANDLE port = linkState.port.load();
    if (port != INVALID_HANDLE_VALUE) {
        PurgeComm(port, PURGE_RXCLEAR);
    }
}

void clearReaderWake() {
    ResetEvent(linkState.stopEvent);
}

}  // namespace quillet
