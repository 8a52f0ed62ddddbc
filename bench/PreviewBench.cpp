// The picture path of the real main window under Wine, each figure against
// a baseline taken in the same run:
//
//   window_bench make <folder>          the 24-megapixel JPEG (and a tiny one), the
//                                       20,000 x 10,000 panorama
//   window_bench picture <jpeg> <djpeg.exe>
//       repaint of the preview holding the picture against a bare blit of
//       the same size; choosing the picture until the preview is painted
//       against djpeg decoding the same file at full size
//   window_bench memory <jpeg> <drive root>
//       peak private bytes after choosing and showing the picture, against
//       the file plus 16 MB, and after applying it with "copy to folder",
//       against the bitmap kept plus the file, in a process of its own
//   window_bench startup ...            see StartupBench.cpp
#include <windows.h>
#include <psapi.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "bench/MemorySampler.h"
#include "bench/SamplePicture.h"
#include "bench/WindowBench.h"
#include "folder_settings/Bitmap.h"
#include "folder_settings/Jpeg.h"
#include "platform/win32/Handle.h"
#include "platform/win32/WinText.h"
#include "ui/PictureFit.h"

namespace quorvane::bench {
namespace {

constexpr int kRepaints = 100;
constexpr int kShows = 5;
constexpr int kResizes = 10;

void MakeJpeg(Platform& platform, const std::string& bmp, const std::string& jpeg, int width, int height) {
    const std::vector<uint8_t> bytes = PhotoLikeBmp(width, height);
    if (!platform.ReplaceWholeFile(bmp, bytes).ok) throw std::runtime_error("cannot write " + bmp);
    TBitmap bitmap;
    bitmap.LoadFromFile(platform, bmp);
    TJPEGImage picture;
    picture.Assign(bitmap);
    picture.SaveToFile(platform, jpeg);
    platform.RemoveFile(bmp);
}

// A landscape of any size, encoded row by row as it is made, so that a
// panorama of 20,000 x 10,000 needs no 600 MB of pixels: sky fading towards
// the hills, green ground below, a red mast in the middle of each quarter.
std::vector<uint8_t> PanoramaJpeg(int width, int height) {
    std::vector<int> hill(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x) {
        const double t = static_cast<double>(x) / width;
        hill[static_cast<size_t>(x)] = static_cast<int>(height * (0.55 + 0.1 * std::sin(t * 12.6) + 0.04 * std::sin(t * 57)));
    }
    jpeg_compress_struct c{};
    jpeg_error_mgr errors{};
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* output = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &output, &size);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    const int quarter = width / 4, mast = width / 400;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &row[static_cast<size_t>(x) * 3];
            const int below = y - hill[static_cast<size_t>(x)], shade = 80 * y / height;
            if (std::abs(x % quarter - quarter / 2) <= mast && y > height / 5 && below < 0) {
                p[0] = 220, p[1] = 30, p[2] = 30;
            } else if (below < 0) {
                p[0] = static_cast<uint8_t>(100 + shade), p[1] = static_cast<uint8_t>(160 + shade), p[2] = 250;
            } else {
                p[0] = 60, p[1] = static_cast<uint8_t>(150 - shade), p[2] = 40;
            }
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<uint8_t> bytes(output, output + size);
    jpeg_destroy_compress(&c);
    std::free(output);
    return bytes;
}

int Make(const std::string& folder) {
    win::Win32Platform platform;
    MakeJpeg(platform, folder + "photo.bmp", folder + "photo.jpg", kPhotoWidth, kPhotoHeight);
    MakeJpeg(platform, folder + "tiny.bmp", folder + "tiny.jpg", 16, 16);
    if (!platform.ReplaceWholeFile(folder + "panorama.jpg", PanoramaJpeg(20000, 10000)).ok) {
        throw std::runtime_error("cannot write the panorama");
    }
    return 0;
}

// djpeg writing a whole-picture BMP to nowhere, as the preview holds its
// whole bitmap.
double RunDjpeg(const std::string& djpeg, const std::string& jpeg) {
    std::wstring command = L"\"" + win::Wide(djpeg) + L"\" -dct int -bmp -outfile NUL \"" + win::Wide(jpeg) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const auto start = Clock::now();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        throw std::runtime_error("cannot start " + djpeg);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    const double elapsed = MillisecondsSince(start);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (code != 0) throw std::runtime_error("djpeg failed on " + jpeg);
    return elapsed;
}

BITMAPINFO Info24(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// One HALFTONE StretchDIBits of the whole bitmap to the preview's size, in
// the quickest way: into a bitmap of the source's own format, so nothing is
// converted first.
double HalftoneScale(HDC screen, const Dib& image, int boxWidth, int boxHeight) {
    const LayoutRect at = FitPicture(image.width, image.height, boxWidth, boxHeight);
    const win::UniqueDc memory(CreateCompatibleDC(screen));
    BITMAPINFO info = Info24(boxWidth, boxHeight);
    void* bits = nullptr;
    const win::UniqueBitmap target(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const win::ScopedSelect select(memory.get(), target.get());
    info = Info24(image.width, image.height);
    const auto start = Clock::now();
    SetStretchBltMode(memory.get(), HALFTONE);
    SetBrushOrgEx(memory.get(), 0, 0, nullptr);
    StretchDIBits(memory.get(), at.left, at.top, at.width, at.height, 0, 0, image.width, image.height,
                  image.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    return MillisecondsSince(start);
}

std::vector<double> ResizeSteps(HWND window) {
    std::vector<double> steps;
    RECT frame;
    GetWindowRect(window, &frame);
    for (int i = 0; i < kResizes; ++i) {
        const int width = frame.right - frame.left + (i % 2 == 0 ? 1 : 0);
        const auto start = Clock::now();
        SetWindowPos(window, nullptr, 0, 0, width, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateWindow(window);
        GdiFlush();
        steps.push_back(MillisecondsSince(start));
    }
    return steps;
}

int Picture(const std::string& jpeg, const std::string& djpeg) {
    win::Win32Platform platform;
    AnsweringDialogs dialogs;
    const auto form = MakeWindow(platform, dialogs, FolderOf(jpeg) + "quorvane.exe");
    form->Show(SW_SHOWNORMAL);
    Pump();
    const HWND box = form->Image.hwnd();
    RECT client;
    GetClientRect(box, &client);
    const win::WindowDc boxDc(box);

    // First show: from the click on "..." until the preview is painted.
    dialogs.answer = jpeg;
    std::vector<double> shows;
    for (int i = 0; i < kShows; ++i) {
        form->ClearPicture();
        UpdateWindow(box);
        const auto start = Clock::now();
        Click(form->btnBrowseImage);
        UpdateWindow(box);
        GdiFlush();
        shows.push_back(MillisecondsSince(start));
    }
    if (dialogs.errors > 0 || !form->Picture()) return 1;

    std::vector<double> decodes, starts, scales;
    const std::string tiny = FolderOf(jpeg) + "tiny.jpg";
    TJPEGImage decoded;
    decoded.LoadFromFile(platform, jpeg);
    const Dib& image = decoded.DecodedBitmap();
    for (int i = 0; i < kShows; ++i) {
        decodes.push_back(RunDjpeg(djpeg, jpeg));
        starts.push_back(RunDjpeg(djpeg, tiny));
        scales.push_back(HalftoneScale(boxDc.get(), image, client.right, client.bottom));
    }
    const double decode = Median(decodes) - Median(starts);
    const double scale = Median(scales);

    // Repaint: the whole preview, as a window moved over it asks for.
    std::vector<double> repaints, blits;
    const win::UniqueDc memory(CreateCompatibleDC(boxDc.get()));
    const win::UniqueBitmap same(CreateCompatibleBitmap(boxDc.get(), client.right, client.bottom));
    const win::ScopedSelect select(memory.get(), same.get());
    for (int i = 0; i < kRepaints; ++i) {
        auto start = Clock::now();
        RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE);
        UpdateWindow(box);
        GdiFlush();
        repaints.push_back(MillisecondsSince(start));
        start = Clock::now();
        BitBlt(boxDc.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
        GdiFlush();
        blits.push_back(MillisecondsSince(start));
    }

    // A step of a resize: the window one pixel wider or narrower, its
    // layout applied and the whole of it painted; with the picture and
    // without, so the difference is what the picture costs.
    const std::vector<double> resizes = ResizeSteps(form->hwnd());
    form->ClearPicture();
    const std::vector<double> emptyResizes = ResizeSteps(form->hwnd());

    std::printf("| Repaint of the preview, %d x %d picture in %ld x %ld (median of %d) | %.3f ms | "
                "BitBlt of %ld x %ld: %.3f ms | %.2f |\n",
                image.width, image.height, client.right, client.bottom, kRepaints, Median(repaints), client.right,
                client.bottom, Median(blits), Median(repaints) / Median(blits));
    std::printf("| First show: choosing the JPEG until the preview is painted (median of %d) | %.1f ms | "
                "djpeg -bmp at full size %.1f ms (%.1f ms less its start-up %.1f ms; a HALFTONE scale of its "
                "bitmap would add %.1f ms) | %.2f |\n",
                kShows, Median(shows), decode, Median(decodes), Median(starts), scale, Median(shows) / decode);
    std::printf("| Resize step of the window, 1 pixel, all painted (median of %d) | %.1f ms | "
                "the same with an empty preview: %.1f ms | %.2f |\n",
                kResizes, Median(resizes), Median(emptyResizes), Median(resizes) / Median(emptyResizes));
    return 0;
}

int Memory(const std::string& jpeg, const std::string& root) {
    win::Win32Platform platform;
    AnsweringDialogs dialogs;
    const std::string folder = root + "Photos";
    CreateDirectoryW(win::Wide(folder).c_str(), nullptr);
    auto form = MakeWindow(platform, dialogs, FolderOf(jpeg) + "quorvane.exe");
    form->Show(SW_SHOWNORMAL);
    Pump();
    FolderTree& tree = form->Tree();
    tree.Select(ChildNamed(tree, tree.FirstRoot(), "Photos"));
    form->TreeViewClick();
    SendMessageW(form->chboxCopyImage, BM_SETCHECK, BST_CHECKED, 0);
    Pump();

    // Private bytes are PagefileUsage: Windows counts the commit charge
    // there as in PrivateUsage, and Wine fills in only the former. Wine
    // also gives the bytes of now as their peak, so the peak is sampled
    // too while the window works.
    PeakSampler sampler;
    const PROCESS_MEMORY_COUNTERS_EX before = Counters();
    // The peak so far after each step, so a step that needs more than it
    // keeps shows.
    auto stagePeak = [&] {
        Sleep(20);
        return static_cast<double>(std::max<size_t>(sampler.peak, Counters().PagefileUsage)) / kMegabyte;
    };
    dialogs.answer = jpeg;
    Click(form->btnBrowseImage);
    const double chosen = stagePeak();
    UpdateWindow(form->Image.hwnd());
    const double shown = stagePeak();
    Click(form->btnApply);
    Pump();
    const double appliedPeak = stagePeak();
    const PROCESS_MEMORY_COUNTERS_EX after = Counters();
    sampler.Stop();

    const std::string copied = folder + "\\Folder Settings\\BackGround.jpg";
    const uint64_t encoded = FileSize(jpeg);
    const bool applied = dialogs.errors == 0 && FileSize(copied) == encoded;
    const TJPEGImage* picture = form->Picture();
    const double bitmap = picture && picture->Bitmap() ? static_cast<double>(picture->Bitmap()->pixels.size()) : 0;
    form.reset();
    DeleteFileW(win::Wide(copied).c_str());
    RemoveDirectoryW(win::Wide(folder + "\\Folder Settings").c_str());
    DeleteFileW(win::Wide(folder + "\\desktop.ini").c_str());
    RemoveDirectoryW(win::Wide(folder).c_str());
    if (!applied || bitmap == 0) {
        std::fprintf(stderr, "the picture was not shown and copied\n");
        return 1;
    }

    const double peak = static_cast<double>(std::max<size_t>(after.PeakPagefileUsage, sampler.peak));
    const double floor = bitmap + static_cast<double>(encoded);
    const double showing = shown - static_cast<double>(before.PagefileUsage) / kMegabyte;
    const double allowed = static_cast<double>(encoded) / kMegabyte + 16;
    std::printf("| Peak private bytes added by choosing and showing the JPEG | %.1f MB | the file %.1f MB + 16 MB = "
                "%.1f MB | %.2f |\n",
                showing, static_cast<double>(encoded) / kMegabyte, allowed, showing / allowed);
    std::printf("| Peak private bytes added by choosing, showing and applying with the copy flag | %.1f MB | "
                "bitmap %.1f MB + file %.1f MB = %.1f MB | %.2f (%+.1f MB) |\n",
                (peak - static_cast<double>(before.PagefileUsage)) / kMegabyte, bitmap / kMegabyte,
                static_cast<double>(encoded) / kMegabyte, floor / kMegabyte,
                (peak - static_cast<double>(before.PagefileUsage)) / floor,
                (peak - static_cast<double>(before.PagefileUsage) - floor) / kMegabyte);
    std::printf("  (peak private bytes after choosing %.1f MB, showing %.1f MB, applying %.1f MB)\n", chosen, shown,
                appliedPeak);
    std::printf("  (private bytes before %.1f MB, after %.1f MB; Wine's peak %.1f MB, sampled peak %.1f MB; "
                "working set peak %.1f MB)\n",
                static_cast<double>(before.PagefileUsage) / kMegabyte,
                static_cast<double>(after.PagefileUsage) / kMegabyte,
                static_cast<double>(after.PeakPagefileUsage) / kMegabyte,
                static_cast<double>(sampler.peak.load()) / kMegabyte,
                static_cast<double>(after.PeakWorkingSetSize) / kMegabyte);
    return 0;
}

}  // namespace
}  // namespace quorvane::bench

int wmain(int argc, wchar_t** argv) {
    using namespace quorvane::bench;
    const std::string mode = argc > 1 ? quorvane::win::Narrow(argv[1]) : "";
    std::vector<std::string> args;
    for (int i = 2; i < argc; ++i) args.push_back(quorvane::win::Narrow(argv[i]));
    try {
        if (mode == "make" && args.size() == 1) return Make(args[0]);
        if (mode == "picture" && args.size() == 2) return Picture(args[0], args[1]);
        if (mode == "memory" && args.size() == 2) return Memory(args[0], args[1]);
        if (mode == "startup" && args.size() == 3) return Startup(args[0], args[1], args[2]);
        if (mode == "library" && args.size() == 2) return LibraryStartup(args[0], args[1]);
        if (mode == "library-memory" && args.size() == 3) return LibraryMemory(args[0], args[1], args[2], 0, 2000);
        if (mode == "library-memory" && args.size() == 5) {
            return LibraryMemory(args[0], args[1], args[2], std::stoi(args[3]), std::stoi(args[4]));
        }
        if (mode == "launch" && args.size() == 3) return LibraryLaunch(args[0], args[1], args[2]);
        if (mode == "iconfile" && args.size() == 1) return IconFileLoad(args[0]);
        if (mode == "panorama" && args.size() == 1) return Panorama(args[0]);
        if (mode == "picture-click" && args.size() == 2) return PictureClick(args[0], args[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fprintf(stderr,
                 "usage: window_bench make <folder\\> | picture <jpeg> <djpeg.exe> | memory <jpeg> <root\\> | "
                 "startup <root\\> <icons\\> <work\\> | library <icons\\> <work\\> | "
                 "library-memory idle|all <icons\\> <work\\> [dpi icons] | launch <quorvane.exe> <icons\\> <work\\> | "
                 "iconfile <work\\> | panorama <jpeg> | picture-click <jpeg> <root\\>\n");
    return 2;
}
