// Reading and checking an icon file whose every directory record points
// into one long chain of PNG chunks, against a plain icon file of the same
// size, both through the real platform:
//
//   window_bench iconfile <work\>
//
// The chained file is refused, the plain one taken; both are read whole.
#include <windows.h>

#include <cstdio>

#include "bench/WindowBench.h"
#include "folder_settings/IconFile.h"
#include "platform/Errors.h"
#include "tests/host/IconBuilder.h"

namespace quorvane::bench {
namespace {

constexpr int kRounds = 5;

void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    win::Win32Platform platform;
    if (!platform.ReplaceWholeFile(path, bytes).ok) throw std::runtime_error("cannot write " + path);
}

// Median milliseconds of loading the file; `taken` is what the reader said.
double LoadTime(const std::string& path, bool& taken) {
    win::Win32Platform platform;
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        try {
            IconFile::Load(platform, path);
            taken = true;
        } catch (const EInvalidGraphic&) {
            taken = false;
        }
        times.push_back(MillisecondsSince(start));
    }
    return Median(times);
}

}  // namespace

int IconFileLoad(const std::string& work) {
    const std::vector<uint8_t> chain = test::ChunkChainIcon(65535, 87381);
    // Bitmaps of 256 pixels, padded to the same size.
    std::vector<uint8_t> plain = test::BuildIcon(std::vector<test::IconSpec>(7, test::IconSpec{256, 256, 32}));
    plain.resize(std::max(plain.size(), chain.size()), 0);
    Write(work + "chain.ico", chain);
    Write(work + "plain.ico", plain);
    bool chainTaken = true, plainTaken = false;
    const double ours = LoadTime(work + "chain.ico", chainTaken);
    const double theirs = LoadTime(work + "plain.ico", plainTaken);
    if (chainTaken || !plainTaken) {
        std::fprintf(stderr, "the chained file must be refused and the plain one taken\n");
        return 1;
    }
    char what[128];
    std::snprintf(what, sizeof what, "Icon file of %.1f MB, every record at one chain of PNG chunks (median of %d)",
                  static_cast<double>(chain.size()) / (1 << 20), kRounds);
    Row(what, ours, "ms", "a plain icon file of the same size", theirs);
    DeleteFileW(win::Wide(work + "chain.ico").c_str());
    DeleteFileW(win::Wide(work + "plain.ico").c_str());
    return 0;
}

}  // namespace quorvane::bench
