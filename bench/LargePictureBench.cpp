// Pictures far larger than the preview, in the real main window under Wine:
//
//   window_bench panorama <jpeg>
//       the 20,000 x 10,000 panorama chosen until the preview is painted,
//       and the peak private bytes that adds, in a process of its own,
//       against the file's size
//   window_bench picture-click <jpeg> <root\>
//       a click on a folder whose desktop.ini names the JPEG, until the
//       preview is painted, against a click on a folder without settings,
//       alternately
#include <windows.h>

#include <cstdio>

#include "bench/MemorySampler.h"
#include "bench/WindowBench.h"
#include "folder_settings/SettingsFile.h"
#include "platform/ProfileFile.h"
#include "platform/win32/WinText.h"

namespace quorvane::bench {
namespace {

constexpr int kClicks = 11;

}  // namespace

int Panorama(const std::string& jpeg) {
    win::Win32Platform platform;
    AnsweringDialogs dialogs;
    auto form = MakeWindow(platform, dialogs, FolderOf(jpeg) + "quorvane.exe");
    form->Show(SW_SHOWNORMAL);
    Pump();
    PeakSampler sampler;
    const PROCESS_MEMORY_COUNTERS_EX before = Counters();
    dialogs.answer = jpeg;
    const auto start = Clock::now();
    Click(form->btnBrowseImage);
    UpdateWindow(form->Image.hwnd());
    GdiFlush();
    const double shown = MillisecondsSince(start);
    Sleep(20);
    const PROCESS_MEMORY_COUNTERS_EX after = Counters();
    sampler.Stop();
    const TJPEGImage* picture = form->Picture();
    if (dialogs.errors > 0 || !picture || !picture->Bitmap()) {
        std::fprintf(stderr, "the panorama was not shown\n");
        return 1;
    }
    const double added =
        static_cast<double>(std::max<size_t>(after.PeakPagefileUsage, sampler.peak) - before.PagefileUsage) /
        kMegabyte;
    const double file = static_cast<double>(FileSize(jpeg)) / kMegabyte;
    std::printf("| The %d x %d panorama chosen until the preview is painted (its bitmap %d x %d) | %.1f ms | "
                "— | — |\n",
                picture->Width(), picture->Height(), picture->Bitmap()->width, picture->Bitmap()->height, shown);
    std::printf("| Peak private bytes added by choosing and showing it | %.1f MB | the file %.1f MB + 32 MB = %.1f MB "
                "| %.2f |\n",
                added, file, file + 32, added / (file + 32));
    return 0;
}

int PictureClick(const std::string& jpeg, const std::string& root) {
    win::Win32Platform platform;
    AnsweringDialogs dialogs;
    for (const char* name : {"Pictured", "Plain"}) CreateDirectoryW(win::Wide(root + name).c_str(), nullptr);
    ProfileFile(platform, root + "Pictured\\desktop.ini").WriteValue(settings::kIconAreaSection, settings::kPictureKey, jpeg);
    auto form = MakeWindow(platform, dialogs, FolderOf(jpeg) + "quorvane.exe");
    form->Show(SW_SHOWNORMAL);
    Pump();
    FolderTree& tree = form->Tree();
    const NodeId pictured = ChildNamed(tree, tree.FirstRoot(), "Pictured");
    const NodeId plain = ChildNamed(tree, tree.FirstRoot(), "Plain");
    auto click = [&](NodeId node) {
        const auto start = Clock::now();
        tree.Select(node);
        form->TreeViewClick();
        UpdateWindow(form->Image.hwnd());
        GdiFlush();
        return MillisecondsSince(start);
    };
    click(pictured);  // a warm-up round of each
    click(plain);
    std::vector<double> withPicture, without;
    for (int i = 0; i < kClicks; ++i) {
        withPicture.push_back(click(pictured));
        without.push_back(click(plain));
    }
    click(pictured);
    const bool shown = dialogs.errors == 0 && form->Picture() && form->Picture()->Bitmap();
    form.reset();
    DeleteFileW(win::Wide(root + "Pictured\\desktop.ini").c_str());
    for (const char* name : {"Pictured", "Plain"}) RemoveDirectoryW(win::Wide(root + name).c_str());
    if (!shown) {
        std::fprintf(stderr, "the folder's picture was not shown\n");
        return 1;
    }
    char what[160];
    std::snprintf(what, sizeof what, "A click on a folder whose picture is the JPEG, until painted (median of %d)",
                  kClicks);
    Row(what, Median(withPicture), "ms", "a click on a folder without settings", Median(without));
    return 0;
}

}  // namespace quorvane::bench
