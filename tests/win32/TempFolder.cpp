#include "tests/win32/TempFolder.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

#include "platform/win32/Handle.h"
#include "platform/win32/WinText.h"

namespace quorvane::test {
namespace {

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    win::UniqueFind find(FindFirstFileW((folder + L"*").c_str(), &data));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + L"\\");
            } else {
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find.get(), &data));
    }
    find.reset();
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() : TempFolder([] {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    return win::Narrow(base);
}()) {}

TempFolder::TempFolder(const std::string& base) {
    static std::atomic<int> counter{0};
    std::wstring path = win::Wide(base) + L"quorvane-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                        std::to_wstring(counter++) + L"\\";
    RemoveTree(path);
    if (!CreateDirectoryW(path.c_str(), nullptr)) throw std::runtime_error("cannot create the test folder");
    path_ = win::Narrow(path);
}

TempFolder::~TempFolder() { RemoveTree(win::Wide(path_)); }

std::string ReadText(const std::string& path) {
    win::UniqueFile file(CreateFileW(win::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return "<missing>";
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    return text;
}

void WriteText(const std::string& path, const std::string& bytes) {
    win::UniqueFile file(
        CreateFileW(win::Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw std::runtime_error("cannot write " + path);
    DWORD put = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
}

void MakeFolder(const std::string& path) { CreateDirectoryW(win::Wide(path).c_str(), nullptr); }

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    win::UniqueFind find(FindFirstFileW((win::Wide(folder) + L"*").c_str(), &data));
    if (!find) return names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(win::Narrow(name));
    } while (FindNextFileW(find.get(), &data));
    return names;
}

}  // namespace quorvane::test
