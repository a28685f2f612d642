#pragma once

// A private Wine prefix for the runs, with COM1 on the emulator, COM12 on the same
// emulator (a port numbered 10 or above, which opens only as \\.\COM12), and COM2 on a
// path that never exists, so that no test reaches a real port of the machine. For programs
// with windows, the prefix also gets the settings and fonts that windows need.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/win32/child_process.h"

namespace quillet::wine {

struct WineTools {
    std::string wine;        // the wine64 loader
    std::string wineserver;  // the matching wineserver
};

class WineSession {
  public:
    // workDir holds the prefix, the port links and the Wine log; it is ours alone.
    // Sets the Wine environment of this process: make it before any thread starts.
    // withWindows: the programs show windows (on the display given to setDisplay).
    WineSession(WineTools tools, std::filesystem::path workDir, bool withWindows = false);
    ~WineSession();
    WineSession(const WineSession&) = delete;
    WineSession& operator=(const WineSession&) = delete;

    // What the registry maps COM1 to: a link the runner points at the emulator.
    std::filesystem::path com1Link() const { return workDir_ / "com1"; }
    // What it maps COM2 to: a path that does not exist.
    std::filesystem::path com2Absent() const { return workDir_ / "com2-absent"; }
    std::filesystem::path logPath() const { return workDir_ / "wine.log"; }

    // Takes the work directory for this run, makes (or reuses) the prefix and writes the
    // port mapping into its registry.
    bool preparePrefix(Clock::time_point deadline, std::string& error);
    // Empty when COM1 (and COM12) lead to devicePath and COM2 to nothing; otherwise what is
    // wrong.
    std::string checkMapping(const std::string& devicePath) const;
    // The X display for the programs started from now on.
    void setDisplay(const std::string& display);
    int logFd() const { return logFd_; }
    // Starts the prefix's wineserver as our child, so that its output stays in the log.
    bool startServer(Clock::time_point deadline, std::string& error);
    // Starts the Windows program under Wine; its stdout is ours, its stderr the log's.
    pid_t startProgram(const std::vector<std::string>& args);
    // Ends every Wine process of the prefix.
    void stopServer();

  private:
    bool lockWorkDir(Clock::time_point deadline, std::string& error);
    bool registryHasMapping() const;
    bool writeMapping(Clock::time_point deadline, std::string& error);
    bool hasWindowSettings() const;
    bool writeWindowSettings(Clock::time_point deadline, std::string& error);
    bool copyFonts(std::string& error) const;
    void linkDosDevices() const;
    int runWine(const std::vector<std::string>& args, Clock::time_point deadline);
    void killServer(Clock::time_point deadline);

    WineTools tools_;
    std::filesystem::path workDir_;
    bool withWindows_;
    std::filesystem::path prefix_;
    int logFd_ = -1;
    int lockFd_ = -1;
    pid_t server_ = -1;
};

}  // namespace quillet::wine
