#include "platform/windows/Win32DirectoryLister.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "platform/SystemDirectoryLister.h"

namespace reef {

namespace {

std::wstring wideFromUtf8(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

// Nothing for a name with an unpaired surrogate: no UTF-8 path could open it again.
std::optional<std::string> utf8FromWide(const wchar_t* name) {
    const int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, name, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::nullopt;
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, name, -1, text.data(), length, nullptr, nullptr);
    text.pop_back();  // the terminating zero
    return text;
}

}  // namespace

std::vector<std::string> Win32DirectoryLister::list(const std::string& folder) const {
    std::vector<std::string> names;
    std::string pattern = folder.empty() ? std::string(".") : folder;
    if (pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAW entry{};
    const HANDLE search =
        FindFirstFileExW(wideFromUtf8(pattern).c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (std::wstring_view(entry.cFileName) == L"." || std::wstring_view(entry.cFileName) == L"..") continue;
        if (std::optional<std::string> name = utf8FromWide(entry.cFileName)) names.push_back(std::move(*name));
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

const DirectoryLister& systemDirectoryLister() {
    static const Win32DirectoryLister lister;
    return lister;
}

}  // namespace reef
