// What the benchmarks of the main window share: the real window over the
// real platform, dialogs that answer with a given file, timing and the
// table's rows.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/WinText.h"
#include "ui/Dialogs.h"
#include "ui/Unit_Main.h"

namespace quorvane::bench {

using Clock = std::chrono::steady_clock;

inline constexpr double kMegabyte = 1024.0 * 1024.0;

inline double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The open dialog answers with `answer`; any error box is counted, so a
// figure taken over a failure is not reported as one.
class AnsweringDialogs : public win::Dialogs {
public:
    std::string answer;
    int errors = 0;

    bool OpenFile(HWND, const std::string&, bool, std::string& fileName) override {
        fileName = answer;
        return true;
    }
    bool PickColor(HWND, COLORREF&, win::CustomColors&) override { return false; }
    void ShowError(HWND, const std::string&, const std::string& text) override {
        ++errors;
        std::fprintf(stderr, "error box: %s\n", text.c_str());
    }
    void ShowInformation(HWND, const std::string&, const std::string& text) override {
        std::fprintf(stderr, "information: %s\n", text.c_str());
    }
};

inline void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The main window as the program makes it, named as if the program were
// `executable`, so its icon library is the Icons folder beside that.
inline std::unique_ptr<TfrmMain> MakeWindow(Platform& platform, win::Dialogs& dialogs, const std::string& executable,
                                            int dpi = 0) {
    TfrmMain::Options options;
    options.dpi = dpi;
    options.executablePath = executable;
    options.quitOnClose = false;
    return std::make_unique<TfrmMain>(GetModuleHandleW(nullptr), platform, dialogs, options);
}

// Clicks a button the way a user does: the handler runs before this returns.
inline void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

// One row of the table: the figure, its baseline from the same run and
// their ratio.
inline void Row(const char* what, double ours, const char* unit, const char* baseline, double theirs) {
    std::printf("| %s | %.3f %s | %s: %.3f %s | %.2f |\n", what, ours, unit, baseline, theirs, unit, ours / theirs);
}

// Start-up to the first paint with a populated first drive and icon
// library, against a bare loop (StartupBench.cpp).
int Startup(const std::string& root, const std::string& iconSource, const std::string& work);

// The icon library: start-up with 0, 200 and 2,000 icons against an empty
// one, the idle-time loading against all at once, and the memory of each
// way (LibraryBench.cpp).
int LibraryStartup(const std::string& iconSource, const std::string& work);
int LibraryMemory(const std::string& way, const std::string& iconSource, const std::string& work, int dpi, int icons);
int LibraryLaunch(const std::string& program, const std::string& iconSource, const std::string& work);
// Loading an icon file whose records all point into one chain of PNG
// chunks, against a plain one of the same size (IconFileBench.cpp).
int IconFileLoad(const std::string& work);
// The panorama chosen until shown and the memory it adds; a click on a
// folder whose picture is a JPEG against one without (LargePictureBench.cpp).
int Panorama(const std::string& jpeg);
int PictureClick(const std::string& jpeg, const std::string& root);

// A file's size in bytes, 0 when it cannot be read.
inline uint64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(win::Wide(path).c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The child of `parent` with that text; throws when there is none.
inline NodeId ChildNamed(FolderTree& tree, NodeId parent, const std::string& name) {
    for (NodeId n = tree.FirstChild(parent); n != kNoNode; n = tree.NextSibling(n)) {
        if (tree.Text(n) == name) return n;
    }
    throw std::runtime_error(name + " is not in the first drive's root");
}

// The folder of a path with its trailing "\".
inline std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

}  // namespace quorvane::bench
