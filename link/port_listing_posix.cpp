#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "link/port_listing.h"
#include "link/testing/link_testing.h"
#include "link/uucp_lock.h"

namespace quillet {

namespace {

struct ListingRoots {
    std::mutex mutex;
    std::string sys = "/sys";
    std::string dev = "/dev";
    std::string proc = "/proc";
};

ListingRoots& listingRoots() {
    static ListingRoots roots;
    return roots;
}

std::vector<std::string> entriesOf(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        ::closedir(dir);
    }
    return names;
}

std::string realPath(const std::string& path) {
    std::string resolved;
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        resolved = real;
        std::free(real);
    }
    return resolved;
}

std::string firstLine(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) {
        line.pop_back();
    }
    return line;
}

std::string lastPart(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

// A USB adapter's maker and product, from the nearest USB device above the tty; else the
// driver's name (serial, serial8250, ftdi_sio, cdc_acm), passing over the serial core's
// own port and controller devices that newer kernels put between tty and hardware.
std::string describe(const std::string& ttyFolder) {
    const std::string device = realPath(ttyFolder + "/device");
    std::string above = device;
    for (int level = 0; level < 4 && above.size() > 1; ++level) {
        const std::string product = firstLine(above + "/product");
        if (!product.empty()) {
            const std::string maker = firstLine(above + "/manufacturer");
            return maker.empty() ? product : maker + " " + product;
        }
        above = above.substr(0, above.rfind('/'));
    }
    above = device;
    for (int level = 0; level < 4 && above.size() > 1; ++level) {
        const std::string driver = realPath(above + "/driver");
        if (!driver.empty() && driver.find("/bus/serial-base/") == std::string::npos) {
            return lastPart(driver);
        }
        above = above.substr(0, above.rfind('/'));
    }
    return {};
}

// The 8250 driver keeps a tty for every slot it has, most with no UART behind them
// (type 0); opening one gives an input/output error.
bool hasHardware(const std::string& ttyFolder) {
    struct stat driver {};
    if (::stat((ttyFolder + "/device/driver").c_str(), &driver) != 0) {
        return false;
    }
    return firstLine(ttyFolder + "/type") != "0";
}

// What other processes have open, among those whose descriptors we may read (all of them
// for root); read once for all ports. Sockets, pipes and the like are passed over.
std::set<std::string> openElsewhere(const std::string& proc) {
    std::set<std::string> open;
    const std::string self = std::to_string(::getpid());
    for (const std::string& pid : entriesOf(proc)) {
        if (pid == self || !std::all_of(pid.begin(), pid.end(), ::isdigit)) {
            continue;
        }
        const std::string fds = proc + "/" + pid + "/fd";
        for (const std::string& fd : entriesOf(fds)) {
            char target[512];
            const ssize_t length = ::readlink((fds + "/" + fd).c_str(), target, sizeof target);
            if (length > 0 && target[0] == '/') {
                open.insert(realPath(fds + "/" + fd));
            }
        }
    }
    return open;
}

// Numbers in order: ttyS2 before ttyS10.
bool byName(const ListedPort& a, const ListedPort& b) {
    const auto split = [](const std::string& name) {
        std::size_t digits = name.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) {
            --digits;
        }
        return std::make_pair(name.substr(0, digits), name.substr(digits));
    };
    const auto [stemA, numberA] = split(a.name);
    const auto [stemB, numberB] = split(b.name);
    if (stemA != stemB) {
        return stemA < stemB;
    }
    if (numberA.size() != numberB.size()) {
        return numberA.size() < numberB.size();
    }
    return numberA < numberB;
}

}  // namespace

void setPortListingRoots(std::string_view sysRoot, std::string_view devRoot,
                         std::string_view procRoot) {
    ListingRoots& roots = listingRoots();
    const std::lock_guard<std::mutex> hold(roots.mutex);
    roots.sys = sysRoot.empty() ? "/sys" : std::string(sysRoot);
    roots.dev = devRoot.empty() ? "/dev" : std::string(devRoot);
    roots.proc = procRoot.empty() ? "/proc" : std::string(procRoot);
}

std::vector<ListedPort> listPorts() {
    ListingRoots& roots = listingRoots();
    std::unique_lock<std::mutex> hold(roots.mutex);
    const std::string sys = roots.sys, dev = roots.dev, proc = roots.proc;
    hold.unlock();

    std::vector<ListedPort> ports;
    std::set<std::string> open;
    bool openRead = false;
    const std::string ttys = sys + "/class/tty";
    for (const std::string& name : entriesOf(ttys)) {
        const std::string device = dev + "/" + name;
        struct stat node {};
        if (!hasHardware(ttys + "/" + name) || ::stat(device.c_str(), &node) != 0) {
            continue;
        }
        if (!openRead) {
            open = openElsewhere(proc);
            openRead = true;
        }
        // Lock files name the device as /dev has it, whatever root the listing reads.
        const bool busy = uucpLockedElsewhere("/dev/" + name) || open.count(realPath(device)) > 0;
        ports.push_back(
            {name, device, describe(ttys + "/" + name), busy ? PortUse::Busy : PortUse::Free});
    }
    std::sort(ports.begin(), ports.end(), byName);

    // The by-id names stay with one adapter wherever it is plugged in.
    const std::string byId = dev + "/serial/by-id";
    std::vector<std::string> links = entriesOf(byId);
    std::sort(links.begin(), links.end());
    const std::size_t ttyCount = ports.size();
    for (const std::string& link : links) {
        const std::string target = realPath(byId + "/" + link);
        for (std::size_t i = 0; i < ttyCount; ++i) {
            if (realPath(ports[i].device) == target) {
                ListedPort named = ports[i];
                named.name = byId + "/" + link;
                ports.push_back(named);
                break;
            }
        }
    }
    return ports;
}

}  // namespace quillet
