// Start-up of the real main window until its first paint, with 500 folders
// (each with 2 subfolders) in the first drive's root and 200 icons in the
// icon library, against a bare loop doing the same enumerations and the
// same failed opens of desktop.ini, with no window. The bare loop also
// loads the icons with LoadImage, timed apart: start-up no longer loads
// the library (LibraryBench.cpp has its figures).
//
//   window_bench startup <root\> <icon source\> <work\>
//
// <root\> must be the first fixed drive's root and empty: the benchmark
// fills it and empties it again, so it is meant for a drive of its own
// (scripts/bench.sh maps one in a private Wine prefix).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "bench/WindowBench.h"
#include "folder_settings/IconFile.h"
#include "navigation/FolderTreeLogic.h"
#include "navigation/IconLibrary.h"
#include "platform/win32/Handle.h"
#include "platform/win32/WinText.h"
#include "tests/host/FakeFolderTree.h"
#include "ui/TreeImageList.h"

namespace quorvane::bench {
namespace {

constexpr int kFolders = 500;
constexpr int kSubfolders = 2;
constexpr int kIcons = 200;
constexpr int kRounds = 5;

std::wstring FolderName(int i) {
    wchar_t name[32];
    swprintf(name, 32, L"Folder %03d", i);
    return name;
}

// The names in a folder, "." and ".." left out.
std::vector<WIN32_FIND_DATAW> List(const std::wstring& pattern) {
    std::vector<WIN32_FIND_DATAW> entries;
    WIN32_FIND_DATAW data;
    win::UniqueFind find(FindFirstFileW(pattern.c_str(), &data));
    if (!find) return entries;
    do {
        if (std::wstring(data.cFileName) != L"." && std::wstring(data.cFileName) != L"..") entries.push_back(data);
    } while (FindNextFileW(find.get(), &data));
    return entries;
}

bool Opens(const std::wstring& path) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

std::vector<std::wstring> FixedRoots() {
    std::vector<std::wstring> roots;
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        const std::wstring root{static_cast<wchar_t>(L'A' + i), L':', L'\\'};
        if ((drives & (1u << i)) && GetDriveTypeW(root.c_str()) == DRIVE_FIXED) roots.push_back(root);
    }
    return roots;
}

// What start-up must touch, without the window: every fixed drive's folders,
// the first drive's folders one level further, a desktop.ini looked for in
// each, and the icon library's icons loaded. Returns the items seen; adds
// the time of the folders' part to `folderMs`.
size_t BareStartup(const std::wstring& icons, double& folderMs) {
    const auto start = Clock::now();
    size_t seen = 0;
    const std::vector<std::wstring> roots = FixedRoots();
    for (size_t r = 0; r < roots.size(); ++r) {
        for (const WIN32_FIND_DATAW& entry : List(roots[r] + L"*.*")) {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (entry.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
                continue;
            const std::wstring folder = roots[r] + entry.cFileName + L"\\";
            seen += Opens(folder + L"desktop.ini") ? 2 : 1;
            if (r != 0) continue;
            for (const WIN32_FIND_DATAW& sub : List(folder + L"*.*")) {
                if (!(sub.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
                seen += Opens(folder + sub.cFileName + L"\\desktop.ini") ? 2 : 1;
            }
        }
    }
    if (!roots.empty()) Opens(roots[0] + L"desktop.ini");
    folderMs += MillisecondsSince(start);
    for (const WIN32_FIND_DATAW& entry : List(icons + L"*.ico")) {
        const HICON icon = static_cast<HICON>(
            LoadImageW(nullptr, (icons + entry.cFileName).c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE));
        if (icon) {
            ++seen;
            DestroyIcon(icon);
        }
    }
    return seen;
}

// The listings start-up makes, through the platform, and nothing else.
void ListingsAlone(Platform& platform, const std::wstring& root) {
    const std::string first = win::Narrow(root);
    for (const FolderEntry& entry : platform.ListFolder(first + "*.*")) {
        if (!(entry.attributes & attr::kDirectory) || entry.name == "." || entry.name == "..") continue;
        platform.ListFolder(first + entry.name + "\\*.*");
    }
}

size_t NodesUnder(FolderTree& tree, NodeId node) {
    size_t count = 0;
    for (NodeId n = tree.FirstChild(node); n != kNoNode; n = tree.NextSibling(n)) count += 1 + NodesUnder(tree, n);
    return count;
}

// The icon library's steps one by one, each over all the icons: reading and
// parsing the files, adding them to an image list like the library's as
// the library does, the same through icon handles (the way every icon went
// before, and still goes where no bitmap of the list's size is there), and
// growing the grid row by row.
struct LibrarySteps {
    std::vector<double> read, add, make, addHandles, grid;
};

void MeasureLibrarySteps(Platform& platform, TfrmMain& form, const std::wstring& icons, LibrarySteps& steps) {
    std::vector<IconFile> files;
    auto start = Clock::now();
    for (const WIN32_FIND_DATAW& entry : List(icons + L"*.ico"))
        files.push_back(IconFile::Load(platform, win::Narrow(icons + entry.cFileName)));
    steps.read.push_back(MillisecondsSince(start));
    win::TreeImageList direct(32, 4, 64);
    start = Clock::now();
    for (const IconFile& file : files) direct.AppendIcon(file);
    steps.add.push_back(MillisecondsSince(start));
    std::vector<win::UniqueIcon> handles;
    start = Clock::now();
    for (const IconFile& file : files) handles.push_back(win::MakeIcon(file, 32));
    steps.make.push_back(MillisecondsSince(start));
    win::TreeImageList list(32, 4, 64);
    start = Clock::now();
    for (const win::UniqueIcon& handle : handles) list.AppendIcon(handle.get());
    steps.addHandles.push_back(MillisecondsSince(start));
    start = Clock::now();
    for (size_t i = 0; i < files.size(); ++i) {
        form.sgIcons.SetCellText(form.sgIcons.RowCount() - 1, "icon");
        form.sgIcons.SetRowCount(form.sgIcons.RowCount() + 1);
    }
    steps.grid.push_back(MillisecondsSince(start));
}

}  // namespace

int Startup(const std::string& rootText, const std::string& iconSource, const std::string& workText) {
    const std::wstring root = win::Wide(rootText);
    const std::wstring work = win::Wide(workText);
    const std::vector<std::wstring> roots = FixedRoots();
    if (roots.empty() || _wcsicmp(roots[0].c_str(), root.c_str()) != 0 || !List(root + L"*.*").empty()) {
        std::fprintf(stderr, "%s must be the first fixed drive's root, and empty\n", rootText.c_str());
        return 1;
    }
    const std::wstring icons = work + L"Icons\\";
    CreateDirectoryW(work.c_str(), nullptr);
    CreateDirectoryW(icons.c_str(), nullptr);
    for (int i = 0; i < kFolders; ++i) {
        const std::wstring folder = root + FolderName(i) + L"\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        for (int j = 1; j <= kSubfolders; ++j) CreateDirectoryW((folder + L"Sub " + std::to_wstring(j)).c_str(), nullptr);
    }
    const std::vector<WIN32_FIND_DATAW> sources = List(win::Wide(iconSource) + L"*.ico");
    if (sources.empty()) {
        std::fprintf(stderr, "no icons in %s\n", iconSource.c_str());
        return 1;
    }
    for (int i = 0; i < kIcons; ++i) {
        const std::wstring from = win::Wide(iconSource) + sources[static_cast<size_t>(i) % sources.size()].cFileName;
        CopyFileW(from.c_str(), (icons + L"Icon " + std::to_wstring(1000 + i) + L".ico").c_str(), FALSE);
    }

    win::Win32Platform platform;
    AnsweringDialogs dialogs;
    const std::string executable = workText + "quorvane.exe";
    std::vector<double> ours, bare, bareFolders;
    size_t nodes = 0;
    int libraryIcons = 0;
    // The first round of each warms the caches and is not counted.
    for (int round = 0; round <= kRounds; ++round) {
        auto start = Clock::now();
        auto form = MakeWindow(platform, dialogs, executable);
        form->Show(SW_SHOWNORMAL);
        GdiFlush();
        if (round > 0) ours.push_back(MillisecondsSince(start));
        nodes = NodesUnder(form->Tree(), form->Tree().FirstRoot());
        libraryIcons = form->sgIcons.RowCount();
        form.reset();
        Pump();

        start = Clock::now();
        double folderMs = 0;
        BareStartup(icons, folderMs);
        if (round > 0) {
            bare.push_back(MillisecondsSince(start));
            bareFolders.push_back(folderMs);
        }
    }

    // Where the time goes: the steps of Show one by one, FormShow's in the
    // hidden window as there.
    std::vector<double> create, tree, memoryTree, listings, library, paint;
    for (int round = 0; round < kRounds; ++round) {
        auto start = Clock::now();
        auto form = MakeWindow(platform, dialogs, executable);
        create.push_back(MillisecondsSince(start));
        start = Clock::now();
        ListingsAlone(platform, root);
        listings.push_back(MillisecondsSince(start));
        start = Clock::now();
        // The logic without a control: the tests' tree in memory.
        test::FakeFolderTree inMemory;
        BuildDriveRoots(platform, inMemory, *form);
        memoryTree.push_back(MillisecondsSince(start));
        start = Clock::now();
        BuildDriveRoots(platform, form->Tree(), *form);
        tree.push_back(MillisecondsSince(start));
        start = Clock::now();
        ScanIconLibrary(platform, form->sgIcons, *form->imglstDefaultIcons, win::Narrow(icons));
        library.push_back(MillisecondsSince(start));
        start = Clock::now();
        ShowWindow(form->hwnd(), SW_SHOWNORMAL);
        UpdateWindow(form->hwnd());
        GdiFlush();
        paint.push_back(MillisecondsSince(start));
        form.reset();
        Pump();
    }
    LibrarySteps librarySteps;
    for (int round = 0; round < kRounds; ++round) {
        auto form = MakeWindow(platform, dialogs, executable);
        MeasureLibrarySteps(platform, *form, icons, librarySteps);
        form.reset();
        Pump();
    }

    for (int i = 0; i < kIcons; ++i) DeleteFileW((icons + L"Icon " + std::to_wstring(1000 + i) + L".ico").c_str());
    RemoveDirectoryW(icons.c_str());
    for (int i = 0; i < kFolders; ++i) {
        const std::wstring folder = root + FolderName(i) + L"\\";
        for (int j = 1; j <= kSubfolders; ++j) RemoveDirectoryW((folder + L"Sub " + std::to_wstring(j)).c_str());
        RemoveDirectoryW(folder.c_str());
    }
    if (dialogs.errors > 0 || nodes != static_cast<size_t>(kFolders * (1 + kSubfolders)) || libraryIcons != kIcons) {
        std::fprintf(stderr, "start-up saw %zu folders and %d icons\n", nodes, libraryIcons);
        return 1;
    }
    std::printf("| Start-up to the first paint, %d folders x %d in the first drive, %d icons (median of %d) | "
                "%.1f ms | bare enumerations and failed opens, no window: %.1f ms | %.2f |\n",
                kFolders, kSubfolders, kIcons, kRounds, Median(ours), Median(bareFolders),
                Median(ours) / Median(bareFolders));
    std::printf("  (step by step: window %.1f ms, drive roots and first folder %.1f ms, the whole icon "
                "library at once as start-up loaded it before %.1f ms, "
                "painting %.1f ms; the bare loop's folders %.1f ms, its icons %.1f ms)\n",
                Median(create), Median(tree), Median(library), Median(paint), Median(bareFolders),
                Median(bare) - Median(bareFolders));
    std::printf("  (the tree's parts: the first drive's listings through the platform %.1f ms, with the "
                "look-ups of desktop.ini and the logic into a tree in memory %.1f ms, into the tree view %.1f ms)\n",
                Median(listings), Median(memoryTree), Median(tree));
    std::printf("  (the icon library's steps: reading the files %.1f ms, adding them to the image list %.1f ms "
                "(through icon handles instead: making them %.1f ms, adding them %.1f ms), growing the grid %.1f ms)\n",
                Median(librarySteps.read), Median(librarySteps.add), Median(librarySteps.make),
                Median(librarySteps.addHandles), Median(librarySteps.grid));
    return 0;
}

}  // namespace quorvane::bench
