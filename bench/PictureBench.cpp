// Decoding and encoding a 24-megapixel picture through TJPEGImage and
// TBitmap, against libjpeg-turbo's own djpeg and cjpeg on the same files
// with the same settings, in the same run. Prints the best of several runs
// of each and the ratio; the program's side should stay within 10%.
//
//   picture_bench [runs] [work folder]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/SamplePicture.h"
#include "folder_settings/Bitmap.h"
#include "folder_settings/Jpeg.h"
#include "platform/Platform.h"

namespace {

using quorvane::FileResult;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = quorvane::bench::kPhotoWidth;
constexpr int kHeight = quorvane::bench::kPhotoHeight;

// Real files for the two whole-file operations the pictures use.
class FilePlatform : public quorvane::Platform {
public:
    FileResult ProfileRead(const std::string&, const std::string&, const std::vector<std::string>& keys,
                           std::vector<std::optional<std::string>>& values) override {
        values.assign(keys.size(), std::nullopt);
        return {true, ""};
    }
    bool ProfileEdit(const std::string&, const std::vector<quorvane::ProfileChange>&) override { return false; }
    void ProfileFlush(const std::string&) override {}
    bool FileExists(const std::string& path) override { return std::filesystem::is_regular_file(path); }
    bool FolderExists(const std::string& path) override { return std::filesystem::is_directory(path); }
    std::optional<uint32_t> ReadAttributes(const std::string&) override { return std::nullopt; }
    bool SetAttributes(const std::string&, uint32_t) override { return false; }
    bool CreateFolder(const std::string&) override { return false; }
    bool RemoveFile(const std::string&) override { return false; }
    std::vector<quorvane::FolderEntry> ListFolder(const std::string&) override { return {}; }
    FileResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) override {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) return {false, "cannot open"};
        std::fseek(f, 0, SEEK_END);
        bytes.resize(static_cast<size_t>(std::ftell(f)));
        std::fseek(f, 0, SEEK_SET);
        const bool ok = std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
        std::fclose(f);
        return {ok, ok ? "" : "short read"};
    }
    FileResult ReplaceWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) override {
        const std::string temporary = path + ".~tmp";
        std::FILE* f = std::fopen(temporary.c_str(), "wb");
        if (!f) return {false, "cannot create"};
        const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0;
        if (std::fclose(f) != 0 || !ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
            std::remove(temporary.c_str());
            return {false, "short write"};
        }
        return {true, ""};
    }
    uint32_t LogicalDrives() override { return 0; }
    int DriveType(const std::string&) override { return 0; }
    uint32_t SystemColor(int) override { return 0; }
    bool ShellReadsIconResourceFirst() override { return true; }
    std::string ExpandEnvironment(const std::string& text) override { return text; }
};

void WriteBmp(const std::string& path) {
    const std::vector<uint8_t> file = quorvane::bench::PhotoLikeBmp(kWidth, kHeight);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                 static_cast<std::streamsize>(file.size()));
}

template <class Action>
double BestSeconds(int runs, Action action) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        action();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

void RunTool(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

std::vector<uint8_t> Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Report(const char* what, double ours, double theirs) {
    std::printf("%-40s %8.1f ms   libjpeg-turbo tool %8.1f ms   ratio %.2f\n", what, ours * 1000, theirs * 1000,
                ours / theirs);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::filesystem::path dir =
        argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path() / "quorvane-picture-bench";
    std::filesystem::create_directories(dir);
    const std::string bmp = (dir / "picture.bmp").string();
    const std::string ours = (dir / "ours.jpg").string();
    const std::string theirs = (dir / "cjpeg.jpg").string();
    WriteBmp(bmp);
    FilePlatform platform;

    std::printf("%d x %d pixels, best of %d runs\n", kWidth, kHeight, runs);

    // Encoding: read the bitmap file, encode at quality 90 with baseline
    // tables and the accurate integer transform, write the JPEG file.
    const double encode = BestSeconds(runs, [&] {
        quorvane::TBitmap bitmap;
        bitmap.LoadFromFile(platform, bmp);
        quorvane::TJPEGImage picture;
        picture.Assign(bitmap);
        picture.SaveToFile(platform, ours);
    });
    const double cjpeg = BestSeconds(runs, [&] {
        RunTool("cjpeg -quality 90 -baseline -dct int -outfile '" + theirs + "' '" + bmp + "'");
    });
    Report("encode (bmp file -> jpeg file)", encode, cjpeg);
    const bool same = Contents(ours) == Contents(theirs);
    std::printf("  %zu bytes; %s cjpeg's output\n", Contents(ours).size(), same ? "identical to" : "DIFFERENT FROM");

    // Decoding for display: read the JPEG file and decode it to a bitmap
    // in memory. djpeg -ppm streams its rows into a file thrown away and
    // never holds the picture, so first touching the bitmap's 72 MB is
    // counted on the program's side only.
    const double decode = BestSeconds(runs, [&] {
        quorvane::TJPEGImage picture;
        picture.LoadFromFile(platform, ours);
        picture.DecodedBitmap();
    });
    const double djpeg = BestSeconds(runs, [&] { RunTool("djpeg -dct int -ppm -outfile /dev/null '" + ours + "'"); });
    Report("decode to 24 bits (djpeg -ppm)", decode, djpeg);
    // djpeg -bmp holds the whole picture before writing it, as the program
    // holds its bitmap for drawing.
    const double djpegBmp = BestSeconds(runs, [&] { RunTool("djpeg -dct int -bmp -outfile /dev/null '" + ours + "'"); });
    Report("decode to 24 bits (djpeg -bmp)", decode, djpegBmp);

    // The 8-bit display format: two-pass quantisation to 236 colours with
    // Floyd-Steinberg dithering on both sides.
    quorvane::JpegSettings eightBit = quorvane::TJPEGImage::DefaultSettings();
    eightBit.pixelFormat = quorvane::JpegPixelFormat::k8Bit;
    const double decode8 = BestSeconds(runs, [&] {
        quorvane::TJPEGImage picture(eightBit);
        picture.LoadFromFile(platform, ours);
        picture.DecodedBitmap();
    });
    const double djpeg8 = BestSeconds(
        runs, [&] { RunTool("djpeg -dct int -colors 236 -dither fs -bmp -outfile /dev/null '" + ours + "'"); });
    Report("decode to 8 bits (236 colours)", decode8, djpeg8);

    std::filesystem::remove_all(dir);
    return same ? 0 : 1;
}
