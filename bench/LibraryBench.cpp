// The icon library at start-up. Three figures, each against its baseline
// in the same run:
// - start-up to the first paint (constructing the real main window until
//   Show has painted it) with no Icons folder, 200 and 2,000 icons, each
//   against the same start-up with an empty Icons folder;
// - the rest of a 2,000-icon library loaded in idle time, per icon and the
//   longest step, against loading the same library all at once, the way
//   start-up loaded it before (ScanIconLibrary), per icon;
// - (mode library-memory, a process of its own for each way) the private
//   bytes the window holds with 2,000 icons (or as many as asked, at the
//   DPI asked) once all are loaded, idle-time loading against the former
//   all-at-once start-up; it fails when the window reports an error;
// - (mode launch) what the user waits for: from starting quorvane.exe to
//   its main window shown and painted, with 200 and 2,000 icons beside it,
//   each against the same program beside an empty Icons.
//
//   window_bench library <icon source\> <work\>
//   window_bench library-memory idle|all <icon source\> <work\> [dpi icons]
//   window_bench launch <quorvane.exe> <icon source\> <work\>
//
// The first fixed drive should be empty (scripts/bench.sh gives it one),
// so that the tree's part of start-up is small and the library's shows.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "bench/MemorySampler.h"
#include "bench/WindowBench.h"
#include "navigation/FolderTreeLogic.h"
#include "navigation/IconLibrary.h"
#include "platform/win32/WinText.h"

namespace quorvane::bench {
namespace {

constexpr int kLargeLibrary = 2000;
constexpr int kRounds = 11;
// A start of the process varies more than one in process.
constexpr int kLaunchRounds = 21;

// work\<name>\ with an Icons folder of `icons` copies of the source's icons
// (none at all for -1); made once, kept for the other modes. Returns the
// executable path the window takes its library from.
std::string Library(const std::string& source, const std::string& work, const char* name, int icons) {
    const std::wstring folder = win::Wide(work + name + "\\");
    CreateDirectoryW(win::Wide(work).c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    if (icons >= 0) {
        const std::wstring library = folder + L"Icons\\";
        std::vector<std::wstring> sources;
        WIN32_FIND_DATAW data;
        win::UniqueFind find(FindFirstFileW((win::Wide(source) + L"*.ico").c_str(), &data));
        if (!find) throw std::runtime_error("no icons in " + source);
        do sources.push_back(win::Wide(source) + data.cFileName);
        while (FindNextFileW(find.get(), &data));
        if (CreateDirectoryW(library.c_str(), nullptr)) {
            for (int i = 0; i < icons; ++i) {
                const std::wstring to = library + L"Icon " + std::to_wstring(10000 + i) + L".ico";
                // A link where the file system takes one: a large library need not fill the disk.
                const std::wstring& from = sources[static_cast<size_t>(i) % sources.size()];
                if (!CreateHardLinkW(to.c_str(), from.c_str(), nullptr)) CopyFileW(from.c_str(), to.c_str(), FALSE);
            }
        }
    }
    return work + name + "\\quorvane.exe";
}

double StartupToFirstPaint(Platform& platform, AnsweringDialogs& dialogs, const std::string& executable,
                           int& imagesAtPaint) {
    const auto start = Clock::now();
    auto form = MakeWindow(platform, dialogs, executable);
    form->Show(SW_SHOWNORMAL);
    GdiFlush();
    const double elapsed = MillisecondsSince(start);
    imagesAtPaint = form->imglstDefaultIcons->Count();
    form.reset();
    Pump();
    return elapsed;
}

struct Found {
    DWORD process;
    HWND form;
};

BOOL CALLBACK FindForm(HWND window, LPARAM param) {
    auto& found = *reinterpret_cast<Found*>(param);
    wchar_t name[16];
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == found.process && GetClassNameW(window, name, 16) && std::wstring(name) == L"TfrmMain" &&
        IsWindowVisible(window))
        found.form = window;
    return found.form == nullptr;
}

// Starts the program and waits until its main window shows and answers a
// message sent to it: Show paints before the program looks at its queue
// again, so that is the first paint done (and, should an idle step be
// running then, that step too). Then closes it. WaitForInputIdle will not
// do: Wine reports the process idle only once the loop blocks, after all
// the idle work.
double Launch(const std::string& executable) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + win::Wide(executable) + L"\"";
    const auto start = Clock::now();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        throw std::runtime_error("cannot start " + executable);
    Found found{process.dwProcessId, nullptr};
    for (int waited = 0; !found.form && waited < 30000; ++waited) {
        EnumWindows(FindForm, reinterpret_cast<LPARAM>(&found));
        if (!found.form) Sleep(1);
    }
    DWORD_PTR result = 0;
    const bool answered =
        found.form && SendMessageTimeoutW(found.form, WM_NULL, 0, 0, SMTO_BLOCK, 30000, &result) != 0;
    const double elapsed = MillisecondsSince(start);
    if (found.form) PostMessageW(found.form, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!answered || !ended) throw std::runtime_error("the program did not come up and close");
    return elapsed;
}

}  // namespace

int LibraryLaunch(const std::string& program, const std::string& source, const std::string& work) {
    struct Case {
        const char* what;
        std::string executable;
        std::vector<double> ours, baseline;
    } cases[] = {{"200 icons", Library(source, work, "small", 200), {}, {}},
                 {"2,000 icons", Library(source, work, "large", kLargeLibrary), {}, {}}};
    const std::string empty = Library(source, work, "empty", 0);
    for (const std::string& to : {empty, cases[0].executable, cases[1].executable})
        CopyFileW(win::Wide(program).c_str(), win::Wide(to).c_str(), FALSE);
    for (int round = 0; round <= kLaunchRounds; ++round) {
        for (Case& c : cases) {
            const double ours = Launch(c.executable);
            const double baseline = Launch(empty);
            if (round == 0) continue;
            c.ours.push_back(ours);
            c.baseline.push_back(baseline);
        }
    }
    for (const Case& c : cases) {
        std::printf("| Starting quorvane.exe until its window is on screen, painted, %s (median of %d) | %.1f ms | "
                    "the same beside an empty Icons: %.1f ms | %.2f |\n",
                    c.what, kLaunchRounds, Median(c.ours), Median(c.baseline), Median(c.ours) / Median(c.baseline));
    }
    return 0;
}

int LibraryStartup(const std::string& source, const std::string& work) {
    win::Win32Platform platform;
    AnsweringDialogs dialogs;
    const std::string empty = Library(source, work, "empty", 0);
    struct Case {
        const char* what;
        std::string executable;
        int icons;
        std::vector<double> ours, baseline;
        int imagesAtPaint = 0;
    } cases[] = {{"no Icons folder", Library(source, work, "none", -1), 0, {}, {}},
                 {"200 icons", Library(source, work, "small", 200), 200, {}, {}},
                 {"2,000 icons", Library(source, work, "large", kLargeLibrary), kLargeLibrary, {}, {}}};
    // The first round warms the caches and is not counted; each figure
    // alternates with its baseline.
    for (int round = 0; round <= kRounds; ++round) {
        for (Case& c : cases) {
            int baselineImages = 0;
            const double ours = StartupToFirstPaint(platform, dialogs, c.executable, c.imagesAtPaint);
            const double baseline = StartupToFirstPaint(platform, dialogs, empty, baselineImages);
            if (round == 0) continue;
            c.ours.push_back(ours);
            c.baseline.push_back(baseline);
        }
    }

    // The rest of the large library in idle time, step by step, as the
    // message loop gives it; against all of it at once in a window alike.
    std::vector<double> idlePerIcon, allPerIcon, stepTimes;
    int steps = 0, loaded = 0;
    for (int round = 0; round <= kRounds; ++round) {
        auto form = MakeWindow(platform, dialogs, cases[2].executable);
        form->Show(SW_SHOWNORMAL);
        Pump();
        const int atPaint = form->imglstDefaultIcons->Count();
        double total = 0;
        steps = 0;
        for (bool more = true; more;) {
            const auto start = Clock::now();
            more = form->Idle();
            const double step = MillisecondsSince(start);
            total += step;
            ++steps;
            if (round > 0) stepTimes.push_back(step);
        }
        loaded = form->imglstDefaultIcons->Count();
        form.reset();
        Pump();

        form = MakeWindow(platform, dialogs, cases[2].executable);
        const auto start = Clock::now();
        ScanIconLibrary(platform, form->sgIcons, *form->imglstDefaultIcons, FolderOf(cases[2].executable) + "Icons");
        const double all = MillisecondsSince(start);
        form.reset();
        Pump();
        if (round == 0) continue;
        idlePerIcon.push_back(total / (kLargeLibrary - atPaint));
        allPerIcon.push_back(all / kLargeLibrary);
    }

    if (dialogs.errors > 0 || loaded != kLargeLibrary || cases[1].imagesAtPaint == 0 ||
        cases[1].imagesAtPaint != cases[2].imagesAtPaint) {
        std::fprintf(stderr, "the library loaded %d icons, %d and %d at the first paint\n", loaded,
                     cases[1].imagesAtPaint, cases[2].imagesAtPaint);
        return 1;
    }
    for (const Case& c : cases) {
        std::printf("| Start-up to the first paint, %s (%d pictures loaded by then; median of %d) | %.1f ms | "
                    "the same with an empty Icons: %.1f ms | %.2f |\n",
                    c.what, c.imagesAtPaint, kRounds, Median(c.ours), Median(c.baseline),
                    Median(c.ours) / Median(c.baseline));
    }
    const double longest = *std::max_element(stepTimes.begin(), stepTimes.end());
    const auto over = std::count_if(stepTimes.begin(), stepTimes.end(), [](double t) { return t > 12; });
    std::printf("| The rest of 2,000 icons loaded in idle time, per icon (median of %d; %d steps a round, median "
                "%.1f ms, the longest %.1f ms, %d of %zu over 12 ms) | %.3f ms | all at once as start-up did "
                "before: %.3f ms | %.2f |\n",
                kRounds, steps, Median(stepTimes), longest, static_cast<int>(over), stepTimes.size(),
                Median(idlePerIcon), Median(allPerIcon), Median(idlePerIcon) / Median(allPerIcon));
    return 0;
}

int LibraryMemory(const std::string& way, const std::string& source, const std::string& work, int dpi, int icons) {
    if (way != "idle" && way != "all") throw std::runtime_error("library-memory takes idle or all");
    win::Win32Platform platform;
    AnsweringDialogs dialogs;
    const std::string name = icons == kLargeLibrary ? "large" : "library" + std::to_string(icons);
    const std::string executable = Library(source, work, name.c_str(), icons);
    PeakSampler sampler;
    const PROCESS_MEMORY_COUNTERS_EX before = Counters();
    auto form = MakeWindow(platform, dialogs, executable, dpi);
    if (way == "all") {
        // What start-up did before: FormShow's steps with every picture.
        BuildDriveRoots(platform, form->Tree(), *form);
        ScanIconLibrary(platform, form->sgIcons, *form->imglstDefaultIcons, FolderOf(executable) + "Icons");
        ShowWindow(form->hwnd(), SW_SHOWNORMAL);
        UpdateWindow(form->hwnd());
    } else {
        form->Show(SW_SHOWNORMAL);
        while (form->Idle()) {
        }
    }
    Pump();
    Sleep(20);
    const PROCESS_MEMORY_COUNTERS_EX after = Counters();
    sampler.Stop();
    const double peak = static_cast<double>(std::max<size_t>(after.PeakPagefileUsage, sampler.peak));
    if (dialogs.errors > 0 || form->imglstDefaultIcons->Count() != icons) return 1;
    std::printf("| Private bytes with %d icons at %d DPI, all loaded, %s | +%.1f MB (peak +%.1f MB) |\n", icons,
                form->Dpi(), way == "idle" ? "in idle time" : "all at once as before",
                static_cast<double>(after.PagefileUsage - before.PagefileUsage) / kMegabyte,
                (peak - static_cast<double>(before.PagefileUsage)) / kMegabyte);
    return 0;
}

}  // namespace quorvane::bench
