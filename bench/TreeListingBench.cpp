// How long a click on a folder with 10,000 subfolders keeps the window
// busy: the tree's listing (the folder and each of its subfolders, one
// level ahead, into a real tree view) against a bare FindFirstFileW /
// FindNextFileW loop over the same folders, in the same run.
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
constexpr int kRounds = 5;

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

double TreeListing(Platform& platform, const std::string& base, HWND frame, size_t& nodes) {
    RECT client;
    GetClientRect(frame, &client);
    HWND treeView = CreateWindowExW(0, WC_TREEVIEWW, L"",
                                    WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
                                    0, 0, client.right, client.bottom, frame, nullptr, GetModuleHandleW(nullptr),
                                    nullptr);
    win::TreeImageList images(16);
    images.AppendIcon(IconFile());
    images.AppendIcon(IconFile());
    double elapsed = 0;
    {
        win::FolderTreeView tree(treeView, images);
        const NodeId root = tree.AddRoot(base.substr(0, base.size() - 1));
        const NodeId big = tree.AddChild(root, "Big");
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

}  // namespace

int wmain() {
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
        wchar_t name[32];
        swprintf(name, 32, L"Folder %05d", i);
        names.emplace_back(name);
        CreateDirectoryW((big + name).c_str(), nullptr);
    }
    std::printf("made %d subfolders in %.0f ms\n", kSubfolders, MillisecondsSince(makeStart));

    HWND frame = CreateWindowExW(0, L"STATIC", L"Quorvane bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 600,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    win::Win32Platform platform;
    const std::string baseText = win::Narrow(base);

    // Warm the file system's caches once before measuring either side.
    BareListing(big, names);

    std::vector<double> treeTimes, bareTimes;
    size_t nodes = 0, entries = 0;
    for (int round = 0; round < kRounds; ++round) {
        treeTimes.push_back(TreeListing(platform, baseText, frame, nodes));
        const auto start = Clock::now();
        entries = BareListing(big, names);
        bareTimes.push_back(MillisecondsSince(start));
    }
    const double tree = Median(treeTimes), bare = Median(bareTimes);
    std::printf("tree listing:    %8.1f ms (median of %d, %zu nodes)\n", tree, kRounds, nodes);
    std::printf("bare enumeration:%8.1f ms (median of %d, %zu entries)\n", bare, kRounds, entries);
    std::printf("ratio: %.2f (goal 1.5 or less)\n", tree / bare);

    DestroyWindow(frame);
    for (const std::wstring& name : names) RemoveDirectoryW((big + name).c_str());
    RemoveDirectoryW(big.c_str());
    RemoveDirectoryW(base.c_str());
    return nodes == static_cast<size_t>(kSubfolders) ? 0 : 1;
}
