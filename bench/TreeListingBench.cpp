// How long a click on a folder keeps the window busy: the tree's listing
// (the folder and each of its subfolders, one level ahead, into a real
// tree view) against a bare loop in the same run. Two folders: 10,000
// plain subfolders, against a FindFirstFileW / FindNextFileW loop over the
// same folders; and 1,000 subfolders each customised with one of 10 icon
// files, against the same loop that also reads each desktop.ini whole and
// loads each distinct icon once with LoadImageW.
//
//   tree_listing_bench <icon source\>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "navigation/FolderTreeLogic.h"
#include "platform/win32/Handle.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WinText.h"
#include "ui/FolderTreeView.h"
#include "ui/TreeImageList.h"

namespace {

using namespace quorvane;
using Clock = std::chrono::steady_clock;

constexpr int kSubfolders = 10000;
constexpr int kCustomised = 1000;
constexpr int kDistinctIcons = 10;
constexpr int kRounds = 5;
// The shorter figure varies more from round to round.
constexpr int kCustomRounds = 11;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Entries seen, so the loop cannot be optimised away.
size_t Enumerate(const std::wstring& folder) {
    size_t count = 0;
    WIN32_FIND_DATAW data;
    win::UniqueFind find(FindFirstFileW((folder + L"*.*").c_str(), &data));
    if (!find) return 0;
    do {
        ++count;
    } while (FindNextFileW(find.get(), &data));
    return count;
}

size_t BareListing(const std::wstring& big, const std::vector<std::wstring>& names) {
    size_t count = Enumerate(big);
    for (const std::wstring& name : names) count += Enumerate(big + name + L"\\");
    return count;
}

// The bytes of a file, so the read cannot be optimised away.
size_t ReadWhole(const std::wstring& path) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    char buffer[4096];
    DWORD read = 0;
    size_t total = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) total += read;
    CloseHandle(file);
    return total;
}

size_t BareCustomised(const std::wstring& big, const std::vector<std::wstring>& names,
                      const std::vector<std::wstring>& icons) {
    size_t count = BareListing(big, names);
    for (const std::wstring& name : names) count += ReadWhole(big + name + L"\\desktop.ini");
    for (const std::wstring& icon : icons) {
        if (const auto handle =
                static_cast<HICON>(LoadImageW(nullptr, icon.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE))) {
            ++count;
            DestroyIcon(handle);
        }
    }
    return count;
}

double TreeListing(Platform& platform, const std::string& base, const std::string& folder, HWND frame,
                   size_t& nodes) {
    RECT client;
    GetClientRect(frame, &client);
    HWND treeView = CreateWindowExW(0, WC_TREEVIEWW, L"",
                                    WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
                                    0, 0, client.right, client.bottom, frame, nullptr, GetModuleHandleW(nullptr),
                                    nullptr);
    win::TreeImageList images(16, 4, 64);  // grown as the window grows its own
    images.AppendIcon(IconFile());
    images.AppendIcon(IconFile());
    double elapsed = 0;
    {
        win::FolderTreeView tree(treeView, images);
        const NodeId root = tree.AddRoot(base.substr(0, base.size() - 1));
        const NodeId big = tree.AddChild(root, folder);
        tree.Select(big);
        UpdateWindow(treeView);

        const auto start = Clock::now();
        ExpandNode(platform, tree, big);
        UpdateWindow(treeView);
        elapsed = MillisecondsSince(start);

        nodes = 0;
        for (NodeId n = tree.FirstChild(big); n != kNoNode; n = tree.NextSibling(n)) ++nodes;
    }
    DestroyWindow(treeView);
    return elapsed;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::wstring Numbered(const wchar_t* format, int i) {
    wchar_t name[32];
    swprintf(name, 32, format, i);
    return name;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tree_listing_bench <icon source\\>\n");
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring base = std::wstring(temp) + L"quorvane-bench-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    const std::wstring big = base + L"Big\\";
    CreateDirectoryW(base.c_str(), nullptr);
    CreateDirectoryW(big.c_str(), nullptr);
    std::vector<std::wstring> names;
    const auto makeStart = Clock::now();
    for (int i = 0; i < kSubfolders; ++i) {
        names.push_back(Numbered(L"Folder %05d", i));
        CreateDirectoryW((big + names.back()).c_str(), nullptr);
    }
    std::printf("made %d subfolders in %.0f ms\n", kSubfolders, MillisecondsSince(makeStart));

    // The customised ones: folder i names icon i % 10, by its full path.
    const std::wstring custom = base + L"Custom\\";
    const std::wstring iconFolder = base + L"Icons\\";
    CreateDirectoryW(custom.c_str(), nullptr);
    CreateDirectoryW(iconFolder.c_str(), nullptr);
    std::vector<std::wstring> sources;
    {
        WIN32_FIND_DATAW data;
        win::UniqueFind find(FindFirstFileW((std::wstring(argv[1]) + L"*.ico").c_str(), &data));
        if (find) {
            do sources.push_back(std::wstring(argv[1]) + data.cFileName);
            while (FindNextFileW(find.get(), &data));
        }
    }
    if (sources.size() < static_cast<size_t>(kDistinctIcons)) {
        std::fprintf(stderr, "fewer than %d icons in the source folder\n", kDistinctIcons);
        return 1;
    }
    std::vector<std::wstring> icons, customNames;
    for (int i = 0; i < kDistinctIcons; ++i) {
        icons.push_back(iconFolder + Numbered(L"Icon %02d.ico", i));
        CopyFileW(sources[static_cast<size_t>(i)].c_str(), icons.back().c_str(), FALSE);
    }
    for (int i = 0; i < kCustomised; ++i) {
        customNames.push_back(Numbered(L"Custom %04d", i));
        const std::wstring folder = custom + customNames.back() + L"\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        const std::string ini =
            "[.ShellClassInfo]\r\nIconFile=" + win::Narrow(icons[static_cast<size_t>(i % kDistinctIcons)]) +
            "\r\nIconIndex=0\r\n";
        const HANDLE file = CreateFileW((folder + L"desktop.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, nullptr);
        DWORD written = 0;
        WriteFile(file, ini.data(), static_cast<DWORD>(ini.size()), &written, nullptr);
        CloseHandle(file);
    }

    HWND frame = CreateWindowExW(0, L"STATIC", L"Quorvane bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 600,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    win::Win32Platform platform;
    const std::string baseText = win::Narrow(base);

    // Warm the file system's caches once before measuring either side.
    BareListing(big, names);
    BareCustomised(custom, customNames, icons);

    std::vector<double> treeTimes, bareTimes, customTimes, bareCustomTimes;
    size_t nodes = 0, entries = 0, customNodes = 0;
    for (int round = 0; round < kRounds; ++round) {
        treeTimes.push_back(TreeListing(platform, baseText, "Big", frame, nodes));
        auto start = Clock::now();
        entries = BareListing(big, names);
        bareTimes.push_back(MillisecondsSince(start));
    }
    for (int round = 0; round < kCustomRounds; ++round) {
        customTimes.push_back(TreeListing(platform, baseText, "Custom", frame, customNodes));
        const auto start = Clock::now();
        BareCustomised(custom, customNames, icons);
        bareCustomTimes.push_back(MillisecondsSince(start));
    }
    const double tree = Median(treeTimes), bare = Median(bareTimes);
    std::printf("tree listing:    %8.1f ms (median of %d, %zu nodes)\n", tree, kRounds, nodes);
    std::printf("bare enumeration:%8.1f ms (median of %d, %zu entries)\n", bare, kRounds, entries);
    std::printf("ratio: %.2f (goal 1.5 or less)\n", tree / bare);
    const double customTree = Median(customTimes), customBare = Median(bareCustomTimes);
    std::printf("customised listing, %d folders, %d icon files: %.1f ms (median of %d, %zu nodes)\n", kCustomised,
                kDistinctIcons, customTree, kCustomRounds, customNodes);
    std::printf("bare loop (enumerations, each desktop.ini read, each icon loaded once): %.1f ms\n", customBare);
    std::printf("ratio: %.2f (goal 1.3 or less)\n", customTree / customBare);

    DestroyWindow(frame);
    for (const std::wstring& name : names) RemoveDirectoryW((big + name).c_str());
    for (const std::wstring& name : customNames) {
        const std::wstring ini = custom + name + L"\\desktop.ini";
        SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(ini.c_str());
        RemoveDirectoryW((custom + name).c_str());
    }
    for (const std::wstring& icon : icons) DeleteFileW(icon.c_str());
    RemoveDirectoryW(big.c_str());
    RemoveDirectoryW(custom.c_str());
    RemoveDirectoryW(iconFolder.c_str());
    RemoveDirectoryW(base.c_str());
    return nodes == static_cast<size_t>(kSubfolders) && customNodes == static_cast<size_t>(kCustomised) ? 0 : 1;
}
