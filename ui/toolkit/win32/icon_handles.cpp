// Icons and strings come from the program's own resources, which the resource script builds
// from the same drawings and definitions as the catalogue.
#include "ui/toolkit/win32/icon_handles.h"

#include <map>
#include <string>

#include "ui/toolkit/win32/dialog_window.h"
#include "ui/toolkit/win32/latin1_text.h"

namespace quillet {

Icon Icon::load(int id) {
    const bool held = id > 0 && id <= 0xFFFF &&
                      FindResourceW(win32::programInstance(), MAKEINTRESOURCEW(id),
                                    MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */) != nullptr;
    return held ? Icon(id) : Icon();
}

const char* loadStringResource(int id) {
    // The table is constant: each string is read once and kept for the returned pointer.
    static std::map<int, std::string> loaded;
    auto found = loaded.find(id);
    if (found == loaded.end()) {
        const wchar_t* text = nullptr;
        // A length of zero asks for a read-only pointer into the resource itself.
        const int length = id > 0 && id <= 0xFFFF
                               ? LoadStringW(win32::programInstance(), static_cast<UINT>(id),
                                             reinterpret_cast<LPWSTR>(&text), 0)
                               : 0;
        found =
            loaded.emplace(id, win32::narrowToLatin1({text, length > 0 ? std::size_t(length) : 0}))
                .first;
    }
    return found->second.c_str();
}

namespace win32 {

HICON iconHandle(const Icon& icon, IconSize size) {
    if (icon.isNull()) {
        return nullptr;
    }
    const bool large = size == IconSize::Large;
    // LR_SHARED: the system keeps one copy per size and frees it with the program.
    return static_cast<HICON>(LoadImageW(programInstance(), MAKEINTRESOURCEW(icon.id()), IMAGE_ICON,
                                         GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON),
                                         GetSystemMetrics(large ? SM_CYICON : SM_CYSMICON),
                                         LR_SHARED));
}

}  // namespace win32
}  // namespace quillet
