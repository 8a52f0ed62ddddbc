// Icon files written the way tools write them, each held to the system's
// own file loader: taken or refused alike, and where taken, drawn to the
// same pixels at 16 and 32 in the icon box (DrawIconEx of our icon) and in
// the library and tree lists (our images beside the system's icon).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <optional>

#include "platform/Errors.h"
#include "platform/win32/Handle.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WinText.h"
#include "tests/host/IconVariants.h"
#include "tests/win32/DrawnPixels.h"
#include "tests/win32/TempFolder.h"
#include "ui/TreeImageList.h"

namespace quorvane {
namespace {

template <typename Draw>
std::vector<uint32_t> DrawnOverPattern(int size, Draw draw) {
    return test::DrawnOverPattern(size, size, draw);
}

using test::FirstDifference;

// Taken (at both sizes) or refused alike; where taken, the same pixels.
void CompareWithSystem(const std::string& path, std::optional<bool> taken) {
    win::Win32Platform platform;
    win::UniqueIcon system[2];
    for (int i = 0; i < 2; ++i) {
        const int size = 16 << i;
        system[i].reset(static_cast<HICON>(
            LoadImageW(nullptr, win::Wide(path).c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE)));
    }
    const bool systemTakes = system[0] && system[1];
    if (taken) {
        EXPECT_EQ(systemTakes, *taken);
    }
    IconFile icon;
    try {
        icon = IconFile::Load(platform, path);
    } catch (const EInvalidGraphic& e) {
        EXPECT_FALSE(systemTakes) << "refused, the system takes it";
        EXPECT_STREQ(e.what(), "Icon image is not valid");
        return;
    }
    ASSERT_TRUE(systemTakes) << "taken, the system refuses it";
    for (int i = 0; i < 2; ++i) {
        const int size = 16 << i;
        SCOPED_TRACE(size);
        const HICON theirs = system[i].get();
        const win::UniqueIcon ours = win::MakeIcon(icon, size);
        const auto drawIcon = [size](HICON h) {
            return [size, h](HDC dc) { DrawIconEx(dc, 0, 0, h, size, size, 0, nullptr, DI_NORMAL); };
        };
        EXPECT_EQ(FirstDifference(DrawnOverPattern(size, drawIcon(ours.get())), DrawnOverPattern(size, drawIcon(theirs)),
                                  size),
                  "")
            << "icon box";
        win::TreeImageList list(size);
        list.AppendIcon(icon);
        list.AppendIcon(theirs);
        ASSERT_EQ(list.Count(), 2);
        const auto drawImage = [&list](int index) {
            return [&list, index](HDC dc) { ImageList_Draw(list.Handle(), index, dc, 0, 0, ILD_NORMAL); };
        };
        EXPECT_EQ(FirstDifference(DrawnOverPattern(size, drawImage(0)), DrawnOverPattern(size, drawImage(1)), size), "")
            << "image list";
    }
}

TEST(IconFiles, TakenAndDrawnAsTheSystemTakesAndDrawsThem) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    IconFile::SetScreenBits(GetDeviceCaps(win::WindowDc(nullptr).get(), BITSPIXEL));  // as the program sets it
    test::TempFolder dir;
    for (const test::IconVariant& variant : test::IconVariants()) {
        SCOPED_TRACE(variant.name);
        const std::string path = dir / "icon.ico";
        test::WriteText(path, std::string(variant.bytes.begin(), variant.bytes.end()));
        CompareWithSystem(path, variant.taken);
    }
    // Icons that other projects ship, as found on this machine (ctest
    // names them, each followed by "|"); none is needed, the generated
    // ones cover every kind.
    const char* found = std::getenv("QUORVANE_FOUND_ICONS");
    std::string paths = found ? found : "";
    while (!paths.empty()) {
        const size_t end = paths.find('|');
        const std::string path = paths.substr(0, end);
        paths = end == std::string::npos ? "" : paths.substr(end + 1);
        SCOPED_TRACE(path);
        CompareWithSystem(path, std::nullopt);
    }
}

}  // namespace
}  // namespace quorvane
