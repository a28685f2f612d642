#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "link/port_listing.h"
#include "link/testing/link_testing.h"
#include "private_lock_folder.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

// A machine's /sys, /dev and /proc in miniature, as Linux lays them out.
class FakeMachine : public ::testing::Test {
  protected:
    void SetUp() override {
        char folder[] = "/tmp/quillet-ports-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        root = folder;
        setPortListingRoots((root / "sys").string(), (root / "dev").string(),
                            (root / "proc").string());
    }
    void TearDown() override {
        setPortListingRoots("", "", "");
        fs::remove_all(root);
    }

    void write(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }
    void link(const fs::path& from, const fs::path& to) {
        fs::create_directories(from.parent_path());
        fs::create_symlink(to, from);
    }
    // A tty in /sys/class/tty whose device sits at devicePath below /sys/devices.
    void tty(const std::string& name, const std::string& devicePath, const std::string& driver) {
        const fs::path device = root / "sys/devices" / devicePath;
        fs::create_directories(device);
        link(root / "sys/class/tty" / name / "device", device);
        const fs::path bus = driver == "port" ? "sys/bus/serial-base/drivers" : "sys/bus/drivers";
        fs::create_directories(root / bus / driver);
        fs::create_directories(root / "sys/bus/drivers/serial");
        link(device / "driver", root / bus / driver);
        write(root / "dev" / name, "");
    }

    fs::path root;
};

TEST_F(FakeMachine, ListsTheTtysWithHardwareTheirByIdNamesAndWhichAreHeld) {
    // As kernels from 6.5 have it: the serial core's port and controller below the UART.
    tty("ttyS0", "pnp0/00:01/00:01:0/00:01:0.0", "port");
    link(root / "sys/devices/pnp0/00:01/driver", root / "sys/bus/drivers/serial");
    write(root / "sys/class/tty/ttyS0/type", "4\n");
    tty("ttyS1", "platform/serial8250", "serial8250");  // a slot with no UART
    write(root / "sys/class/tty/ttyS1/type", "0\n");
    fs::create_directories(root / "sys/class/tty/tty0");  // a console: no device
    write(root / "dev/tty0", "");
    tty("ttyUSB0", "pci0/usb1/1-1/1-1:1.0/ttyUSB0", "ftdi_sio");
    write(root / "sys/devices/pci0/usb1/1-1/product", "FT232R USB UART\n");
    write(root / "sys/devices/pci0/usb1/1-1/manufacturer", "FTDI\n");
    tty("ttyUSB10", "pci0/usb1/1-2/1-2:1.0/ttyUSB10", "pl2303");
    tty("ttyUSB2", "pci0/usb1/1-3/1-3:1.0/ttyUSB2", "ch341-uart");
    tty("ttyACM0", "pci0/usb1/1-4/1-4:1.0", "cdc_acm");
    fs::remove(root / "dev/ttyACM0");  // unplugged: sysfs lags behind /dev
    link(root / "dev/serial/by-id/usb-FTDI_FT232R_A10KZ3XY-if00-port0", "../../ttyUSB0");

    // minicom's lock on ttyUSB0, a process with ttyS0 open.
    write(test::privateLockFolder() + "/LCK..ttyUSB0",
          std::string(10 - std::to_string(::getppid()).size(), ' ') + std::to_string(::getppid()) +
              "\n");
    link(root / "proc/4242/fd/3", root / "dev/ttyS0");

    const std::string dev = (root / "dev").string();
    struct Expected {
        std::string name, device, description;
        PortUse use;
    };
    const std::vector<Expected> expected = {
        {"ttyS0", dev + "/ttyS0", "serial", PortUse::Busy},
        {"ttyUSB0", dev + "/ttyUSB0", "FTDI FT232R USB UART", PortUse::Busy},
        {"ttyUSB2", dev + "/ttyUSB2", "ch341-uart", PortUse::Free},
        {"ttyUSB10", dev + "/ttyUSB10", "pl2303", PortUse::Free},
        {dev + "/serial/by-id/usb-FTDI_FT232R_A10KZ3XY-if00-port0", dev + "/ttyUSB0",
         "FTDI FT232R USB UART", PortUse::Busy},
    };
    const std::vector<ListedPort> ports = listPorts();
    ASSERT_EQ(ports.size(), expected.size());
    for (std::size_t i = 0; i < ports.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(ports[i].name, expected[i].name);
        EXPECT_EQ(ports[i].device, expected[i].device);
        EXPECT_EQ(ports[i].description, expected[i].description);
        EXPECT_EQ(ports[i].use, expected[i].use);
    }
    std::remove((test::privateLockFolder() + "/LCK..ttyUSB0").c_str());
}

TEST_F(FakeMachine, AMachineWithoutSerialPortsListsNone) {
    EXPECT_TRUE(listPorts().empty());
}

}  // namespace
}  // namespace quillet
