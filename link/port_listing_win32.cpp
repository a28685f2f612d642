#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h.
#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "link/port_listing.h"

namespace quillet {

namespace {

std::string registryText(HKEY key, const char* value) {
    char text[256] = {};
    DWORD type = 0;
    DWORD size = sizeof text - 1;
    if (RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    return std::string(text, strnlen(text, size));
}

bool isComName(const std::string& name) {
    return name.size() > 3 && name.compare(0, 3, "COM") == 0 &&
           std::all_of(name.begin() + 3, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The Device Manager's Ports class: the names users know (USB Serial Port (COM3)).
void addPortsClass(std::vector<ListedPort>& ports) {
    HDEVINFO devices = SetupDiGetClassDevsA(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) {
        return;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) {
            continue;
        }
        const std::string name = registryText(key, "PortName");
        RegCloseKey(key);
        if (!isComName(name)) {
            continue;  // a printer port (LPT1), say
        }
        char friendly[256] = {};
        SetupDiGetDeviceRegistryPropertyA(devices, &device, SPDRP_FRIENDLYNAME, nullptr,
                                          reinterpret_cast<BYTE*>(friendly), sizeof friendly - 1,
                                          nullptr);
        ports.push_back({name, "\\\\.\\" + name, friendly, PortUse::Unknown});
    }
    SetupDiDestroyDeviceInfoList(devices);
}

// Every serial port the drivers have made, present now, with the driver's device name
// (\Device\Serial0, \Device\VCP0): it names those the Ports class lacks, as under Wine.
void addSerialComm(std::vector<ListedPort>& ports) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    for (DWORD index = 0;; ++index) {
        char value[256] = {};
        char data[256] = {};
        DWORD valueSize = sizeof value;
        DWORD dataSize = sizeof data - 1;
        DWORD type = 0;
        const LONG result = RegEnumValueA(key, index, value, &valueSize, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        const std::string name(data, strnlen(data, dataSize));
        if (result != ERROR_SUCCESS || type != REG_SZ || !isComName(name)) {
            continue;
        }
        const bool listed = std::any_of(ports.begin(), ports.end(),
                                        [&](const ListedPort& port) { return port.name == name; });
        if (!listed) {
            ports.push_back({name, "\\\\.\\" + name, value, PortUse::Unknown});
        }
    }
    RegCloseKey(key);
}

}  // namespace

// Whether another program holds a port shows only to a program that opens it.
std::vector<ListedPort> listPorts() {
    std::vector<ListedPort> ports;
    addPortsClass(ports);
    addSerialComm(ports);
    std::sort(ports.begin(), ports.end(), [](const ListedPort& a, const ListedPort& b) {
        return a.name.size() != b.name.size() ? a.name.size() < b.name.size() : a.name < b.name;
    });
    return ports;
}

}  // namespace quillet
