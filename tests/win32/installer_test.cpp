// The Windows installer as a user's silent install runs it: the files, the Start-menu entries,
// the uninstall entry, the installed program and demo starting, installing over an installed
// copy, and the uninstaller taking it all away again. Given --installer=PATH (the runner's
// emulator behind COM1), and --newer-installer=PATH for the upgrade; skipped without them.

#include <gtest/gtest.h>
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/printer_traffic.h"
#include "tests/win32/emulator_client.h"
#include "tests/win32/win32_test_support.h"

namespace quillet::wine {
namespace {

constexpr wchar_t kUninstallKeys[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillet";
constexpr int kListBox = 1031;
constexpr int kPrintTestPage = 1001;

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

// A value of the uninstall entry that must be a number; -1 when it is missing or not one.
long long uninstallNumber(const wchar_t* name) {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_ANY, &type, &value, &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD) {
        return -1;
    }
    return value;
}

// The PATH of all users and of this user, as the registry keeps them for new programs.
std::wstring pathSettings() {
    std::wstring both;
    const std::pair<HKEY, const wchar_t*> keys[] = {
        {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment"},
        {HKEY_CURRENT_USER, L"Environment"}};
    for (const auto& [root, key] : keys) {
        wchar_t value[8192] = {};
        DWORD size = sizeof value - sizeof(wchar_t);
        if (RegGetValueW(root, key, L"Path", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                         nullptr, value, &size) == ERROR_SUCCESS) {
            both += value;
            both += L";";
        }
    }
    return both;
}

// The uninstall entries that show as Quillet in Settings' list of apps.
int quilletUninstallEntries() {
    HKEY all = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKeys, 0, KEY_READ, &all) != ERROR_SUCCESS) {
        return 0;
    }
    int count = 0;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(all, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        wchar_t shown[256] = {};
        DWORD size = sizeof shown;
        if (RegGetValueW(all, name, L"DisplayName", RRF_RT_REG_SZ, nullptr, shown, &size) ==
                ERROR_SUCCESS &&
            std::wstring(shown).rfind(L"Quillet", 0) == 0) {
            ++count;
        }
    }
    RegCloseKey(all);
    return count;
}

// Start-menu folders (for all users and for this one) whose names begin with Quillet.
int quilletStartMenuFolders() {
    int count = 0;
    for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW((folder(csidl) + L"\\Quillet*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            continue;
        }
        do {
            count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? 1 : 0;
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return count;
}

// A Start-menu entry of the Quillet folder, for all users or (without the rights for that)
// for this one.
std::wstring startMenuEntry(const std::wstring& name = L"Quillet") {
    for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
        std::wstring link = folder(csidl) + L"\\Quillet\\" + name + L".lnk";
        if (exists(link)) {
            return link;
        }
    }
    return {};
}

// The program a shortcut starts, as the shell reads it; empty when it cannot be read.
std::wstring shortcutTarget(const std::wstring& link) {
    std::wstring target;
    IShellLinkW* shortcut = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shortcut)))) {
        return target;
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
            SUCCEEDED(shortcut->GetPath(path, MAX_PATH, nullptr, 0))) {
            target = path;
        }
        file->Release();
    }
    shortcut->Release();
    return target;
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

void click(HWND window, int controlId) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, controlId)));
}

// The entries of a list box in another program; empty while that program is busy.
std::vector<std::string> listEntries(HWND window, int listBoxId) {
    HWND list = GetDlgItem(window, listBoxId);
    DWORD_PTR count = 0;
    if (list == nullptr ||
        !SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &count)) {
        return {};
    }
    std::vector<std::string> entries;
    for (WPARAM i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 1000, &length) ||
            length >= 256 ||
            !SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text),
                                 SMTO_ABORTIFHUNG, 1000, &length)) {
            return {};
        }
        entries.emplace_back(text, text + length);
    }
    return entries;
}

// An installation in a folder (the default one unless told), and what a silent install of a
// package puts there.
struct Installation {
    explicit Installation(std::wstring in = folder(CSIDL_PROGRAM_FILES) + L"\\Quillet")
        : directory(std::move(in)) {}
    std::wstring directory;
    std::wstring program = directory + L"\\bin\\quillet.exe";
    std::wstring demo = directory + L"\\bin\\quillet-demo.exe";
    std::wstring uninstaller = directory + L"\\Uninstall.exe";

    // What an earlier run left, if it stopped half-way.
    void clearLeftovers() const {
        if (exists(uninstaller)) {
            finish(start(L"\"" + uninstaller + L"\" /S _?=" + directory), 60000);
        }
        DeleteFileW(uninstaller.c_str());
        RemoveDirectoryW(directory.c_str());
    }
    // Into this folder when nothing is installed yet.
    long install(const std::string& package) const {
        return finish(start(L"\"" + widen(package) + L"\" /S /D=" + directory), 120000);
    }
    // The uninstaller copies itself away and runs from there: wait for its work, the
    // Start-menu folder included, which it may remove after the install folder.
    bool uninstall() const {
        finish(start(L"\"" + uninstaller + L"\" /S"), 60000);
        return within(60000, [&] { return !exists(program) && !hasUninstallEntry(); }) &&
               within(10000, [&] {
                   return startMenuEntry().empty() && quilletStartMenuFolders() == 0 &&
                          !exists(directory);
               });
    }
};

TEST(Installer, InstallsAStartingProgramAndUninstallsSilently) {
    const std::string installer = testOption("--installer=");
    if (installer.empty()) {
        GTEST_SKIP() << "no --installer=PATH";
    }
    const Installation installed;
    installed.clearLeftovers();

    const std::wstring pathBefore = pathSettings();
    ASSERT_EQ(finish(start(L"\"" + widen(installer) + L"\" /S"), 120000), 0);
    EXPECT_TRUE(exists(installed.program))
        << "a 32-bit installer stub reports success and installs nothing";
    EXPECT_TRUE(exists(installed.demo));
    EXPECT_TRUE(exists(installed.directory + L"\\bin\\kv31.exe"));
    EXPECT_EQ(pathSettings(), pathBefore) << "PATH changes only when the user asks for it";
    EXPECT_TRUE(exists(installed.directory + L"\\bin\\LICENSE.txt"));
    EXPECT_TRUE(exists(installed.uninstaller));
    EXPECT_FALSE(startMenuEntry().empty());
    EXPECT_FALSE(startMenuEntry(L"Quillet Demo").empty());
    EXPECT_TRUE(hasUninstallEntry());
    EXPECT_EQ(uninstallNumber(L"NoModify"), 1);
    EXPECT_EQ(uninstallNumber(L"NoRepair"), 1);
    // In KiB, as Windows reads it: the files take some 900 KiB.
    EXPECT_GT(uninstallNumber(L"EstimatedSize"), 500);
    EXPECT_LT(uninstallNumber(L"EstimatedSize"), 5000);

    // The installed program starts with the port choice and opens no port by itself.
    HANDLE quillet = start(L"\"" + installed.program + L"\"");
    ASSERT_NE(quillet, nullptr);
    HWND portWindow = nullptr;
    EXPECT_TRUE(within(30000, [&] {
        portWindow = FindWindowW(nullptr, L"Select Serial Port");
        return portWindow != nullptr;
    }));
    EXPECT_EQ(emulator().holders(), 0) << "nothing opens a port before the user chooses one";
    click(portWindow, IDCANCEL);
    EXPECT_EQ(finish(quillet, 20000), 0) << "Cancel at the port choice ends the program";

    EXPECT_TRUE(installed.uninstall());
}

// The demo as a user starts it from the Start menu: COM1 leads to its own printer, not to
// the port that Wine's COM1 leads to.
TEST(Installer, TheDemoListsTheDefaultLinesAndPrintsWithoutAPort) {
    const std::string installer = testOption("--installer=");
    if (installer.empty()) {
        GTEST_SKIP() << "no --installer=PATH";
    }
    const Installation installed;
    installed.clearLeftovers();
    ASSERT_EQ(installed.install(installer), 0);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    const std::wstring target = shortcutTarget(startMenuEntry(L"Quillet Demo"));
    CoUninitialize();
    EXPECT_EQ(CompareStringOrdinal(target.c_str(), -1, installed.demo.c_str(), -1, TRUE),
              CSTR_EQUAL)
        << "the entry starts " << std::string(target.begin(), target.end());

    HANDLE demo = start(L"\"" + target + L"\"");
    ASSERT_NE(demo, nullptr);
    HWND portWindow = nullptr;
    ASSERT_TRUE(within(30000, [&] {
        portWindow = FindWindowW(nullptr, L"Select Serial Port");
        return portWindow != nullptr;
    }));
    click(portWindow, IDOK);  // COM1 is checked
    HWND mainWindow = nullptr;
    std::vector<std::string> shown;
    EXPECT_TRUE(within(30000, [&] {
        mainWindow = FindWindowW(nullptr, L"Quillet");
        shown = listEntries(mainWindow, kListBox);
        return shown.size() == 6 && FindWindowW(nullptr, L"Wait...") == nullptr;
    }));
    EXPECT_EQ(shown, traffic::kDefaultEntries);
    EXPECT_EQ(emulator().holders(), 0) << "the demo opened a real COM1";

    click(mainWindow, kPrintTestPage);
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(SendMessageTimeoutW(mainWindow, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored))
        << "Print Test Page does not end";
    EXPECT_EQ(FindWindowW(nullptr, L"Communication Failure"), nullptr);
    click(mainWindow, IDOK);
    EXPECT_EQ(finish(demo, 20000), 0) << "OK ends the demo";

    EXPECT_TRUE(installed.uninstall());
}

// The same version, then a newer one, installed as a user would, over a copy installed in a
// folder of the user's choosing.
TEST(Installer, InstallingOverAnInstalledCopyLeavesOneOfEach) {
    const std::string installer = testOption("--installer=");
    const std::string newer = testOption("--newer-installer=");
    if (installer.empty() || newer.empty()) {
        GTEST_SKIP() << "no --installer=PATH and --newer-installer=PATH";
    }
    const Installation usual;
    const Installation chosen(folder(CSIDL_PROGRAM_FILES) + L"\\Quillet Tools");
    usual.clearLeftovers();
    chosen.clearLeftovers();
    ASSERT_EQ(chosen.install(installer), 0);
    ASSERT_TRUE(exists(chosen.program));

    for (const std::string& package : {installer, newer}) {
        ASSERT_EQ(finish(start(L"\"" + widen(package) + L"\" /S"), 120000), 0);
    }
    EXPECT_TRUE(exists(chosen.program)) << "the upgrade left the user's folder";
    EXPECT_FALSE(exists(usual.program)) << "two copies of the program";
    EXPECT_EQ(quilletUninstallEntries(), 1);
    EXPECT_EQ(quilletStartMenuFolders(), 1);
    wchar_t version[32] = {};
    DWORD size = sizeof version;
    RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion", RRF_RT_REG_SZ, nullptr,
                 version, &size);
    EXPECT_STRNE(version, L"" QUILLET_TEST_VERSION) << "the entry names the older version";

    EXPECT_TRUE(chosen.uninstall());
    EXPECT_EQ(quilletStartMenuFolders(), 0);
    usual.clearLeftovers();
}

}  // namespace
}  // namespace quillet::wine
