#include "platform/win32/WinText.h"

#include "platform/Utf.h"

namespace quorvane::win {

// A name the file system holds may have a lone surrogate (NTFS takes any
// UTF-16 unit but a few): it crosses the boundary kept, both ways, so the
// path built from it is the folder's own, never U+FFFD's, which may name
// another folder or none.
std::wstring Wide(std::string_view utf8) {
    const std::u16string u16 = Utf8ToUtf16(utf8, LoneSurrogates::kKeep);
    return std::wstring(u16.begin(), u16.end());
}

std::string Narrow(std::wstring_view wide) {
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()), LoneSurrogates::kKeep);
}

std::string SystemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() <= L' ' || text.back() == L'.')) text.pop_back();
    return Narrow(text);
}

bool SystemAnsiCodec::FromUtf8(std::string_view utf8, std::string& ansi) const {
    ansi.clear();
    if (utf8.empty()) return true;
    if (GetACP() == CP_UTF8) {
        ansi = utf8;
        return true;
    }
    const std::wstring wide = Wide(utf8);
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, &lossy);
    if (size <= 0 || lossy) return false;
    ansi.resize(static_cast<size_t>(size));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), ansi.data(), size,
                        nullptr, &lossy);
    return !lossy;
}

std::string SystemAnsiCodec::ToUtf8(std::string_view ansi) const {
    if (ansi.empty()) return {};
    const int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), size);
    return Narrow(wide);
}

}  // namespace quorvane::win
