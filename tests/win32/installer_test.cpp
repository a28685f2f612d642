// The Windows installer as a user's silent install runs it: the files, the Start-menu entry,
// the installed program starting, and the uninstaller taking it all away again. Given
// --installer=PATH (the runner's emulator behind COM1); skipped without it.

#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <string>

#include "tests/win32/emulator_client.h"
#include "tests/win32/win32_test_support.h"

namespace quillet::wine {
namespace {

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillet";

std::wstring widen(const std::string& text) {
    std::wstring wide(text.begin(), text.end());
    for (wchar_t& c : wide) {
        c = c == L'/' ? L'\\' : c;
    }
    return wide;
}

std::wstring folder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool hasUninstallEntry() {
    HKEY key = nullptr;
    const bool found =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (found) {
        RegCloseKey(key);
    }
    return found;
}

// The Start-menu entry, for all users or (without the rights for that) for this one.
std::wstring startMenuEntry() {
    for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
        std::wstring link = folder(csidl) + L"\\Quillet\\Quillet.lnk";
        if (exists(link)) {
            return link;
        }
    }
    return {};
}

// Starts a program; null when it cannot be started.
HANDLE start(const std::wstring& commandLine) {
    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

// The exit code, or -1 when it does not end in time.
long finish(HANDLE process, DWORD limitMs) {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process, limitMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process, &code);
    } else {
        TerminateProcess(process, 1);
    }
    CloseHandle(process);
    return code == STILL_ACTIVE ? -1 : static_cast<long>(code);
}

template <class Condition>
bool within(DWORD limitMs, Condition condition) {
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    while (!condition()) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(50);
    }
    return true;
}

TEST(Installer, InstallsAStartingProgramAndUninstallsSilently) {
    const std::string installer = testOption("--installer=");
    if (installer.empty()) {
        GTEST_SKIP() << "no --installer=PATH";
    }
    const std::wstring directory = folder(CSIDL_PROGRAM_FILES) + L"\\Quillet";
    const std::wstring program = directory + L"\\bin\\quillet.exe";
    const std::wstring uninstaller = directory + L"\\Uninstall.exe";
    if (exists(uninstaller)) {
        // What an earlier run left, if it stopped half-way.
        finish(start(L"\"" + uninstaller + L"\" /S _?=" + directory), 60000);
    }

    ASSERT_EQ(finish(start(L"\"" + widen(installer) + L"\" /S"), 120000), 0);
    EXPECT_TRUE(exists(program)) << "a 32-bit installer stub reports success and installs nothing";
    EXPECT_TRUE(exists(uninstaller));
    EXPECT_FALSE(startMenuEntry().empty());
    EXPECT_TRUE(hasUninstallEntry());

    // The installed program starts with the port choice and opens no port by itself.
    HANDLE quillet = start(L"\"" + program + L"\"");
    ASSERT_NE(quillet, nullptr);
    HWND portWindow = nullptr;
    EXPECT_TRUE(within(30000, [&] {
        portWindow = FindWindowW(nullptr, L"Select Serial Port");
        return portWindow != nullptr;
    }));
    EXPECT_EQ(emulator().holders(), 0) << "nothing opens a port before the user chooses one";
    PostMessageW(portWindow, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(portWindow, IDCANCEL)));
    EXPECT_EQ(finish(quillet, 20000), 0) << "Cancel at the port choice ends the program";

    // The uninstaller copies itself away and runs from there: wait for its work.
    finish(start(L"\"" + uninstaller + L"\" /S"), 60000);
    EXPECT_TRUE(within(60000, [&] { return !exists(program) && !hasUninstallEntry(); }));
    EXPECT_TRUE(within(10000, [&] { return startMenuEntry().empty() && !exists(directory); }));
}

}  // namespace
}  // namespace quillet::wine
