#include "ui/toolkit/win32/no_scroll_edit.h"

#include <algorithm>
#include <cstddef>

namespace quillet::win32 {

namespace {

std::wstring contentOf(HWND box) {
    const int length = GetWindowTextLengthW(box);
    std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
    const int copied = GetWindowTextW(box, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

// In pixels, in the box's font.
int widthOf(HWND box, const std::wstring& text) {
    HDC dc = GetDC(box);
    auto* font = reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    if (previous != nullptr) {
        SelectObject(dc, previous);
    }
    ReleaseDC(box, dc);
    return extent.cx;
}

RECT formatRect(HWND box) {
    RECT format{};
    SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    return format;
}

// A text the box shows whole starts at its left edge, as in a box that never scrolls,
// also after it was scrolled while it was wider.
void showFromStart(HWND box) {
    const auto first = static_cast<short>(LOWORD(SendMessageW(box, EM_POSFROMCHAR, 0, 0)));
    if (first >= formatRect(box).left) {
        return;
    }
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    SendMessageW(box, EM_SETSEL, 0, 0);
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
    SendMessageW(box, EM_SETSEL, start, static_cast<LPARAM>(end));
}

// The longest start of the insertion that keeps the text fitting; widths grow with it.
std::size_t keptLength(const std::wstring& head, const std::wstring& inserted,
                       const std::wstring& tail, auto fits) {
    std::size_t low = 0;
    std::size_t high = inserted.size();
    while (low < high) {
        const std::size_t mid = (low + high + 1) / 2;
        if (fits(head + inserted.substr(0, mid) + tail)) {
            low = mid;
        } else {
            high = mid - 1;
        }
    }
    return low;
}

}  // namespace

NoScrollEdit::NoScrollEdit(HWND box) : shown_(contentOf(box)) {}

bool NoScrollEdit::admitChange(HWND box) {
    if (putting_) {
        return false;
    }
    std::wstring now = contentOf(box);
    const int room = formatRect(box).right - formatRect(box).left;
    const int before = widthOf(box, shown_);
    const auto fits = [&](const std::wstring& text) {
        const int width = widthOf(box, text);
        return width <= room || width <= before;
    };
    if (!ChangeByCode::active() && !fits(now)) {
        const std::size_t shorter = std::min(shown_.size(), now.size());
        std::size_t head = 0;
        while (head < shorter && shown_[head] == now[head]) {
            ++head;
        }
        std::size_t tail = 0;
        while (tail < shorter - head &&
               shown_[shown_.size() - 1 - tail] == now[now.size() - 1 - tail]) {
            ++tail;
        }
        const std::wstring start = now.substr(0, head);
        const std::wstring end = now.substr(now.size() - tail);
        const std::wstring inserted = now.substr(head, now.size() - head - tail);
        const std::size_t kept = keptLength(start, inserted, end, fits);
        if (kept == 0 && start + end == shown_) {
            // Nothing of it fits: the box stays as it was, the replaced part selected again.
            putText(box, shown_, static_cast<int>(head), static_cast<int>(shown_.size() - tail));
            return false;
        }
        now = start + inserted.substr(0, kept) + end;
        putText(box, now, static_cast<int>(head + kept), static_cast<int>(head + kept));
    }
    shown_ = now;
    if (!now.empty() && widthOf(box, now) <= room) {
        showFromStart(box);
    }
    return true;
}

// Its own update is not passed on: the change it puts right is.
void NoScrollEdit::putText(HWND box, const std::wstring& text, int selStart, int selEnd) {
    putting_ = true;
    SendMessageW(box, EM_SETSEL, 0, -1);
    SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(selStart), selEnd);
    putting_ = false;
}

}  // namespace quillet::win32
