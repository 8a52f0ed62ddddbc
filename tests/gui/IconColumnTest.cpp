// The icon column of a library larger than the grid: the rows in view are
// drawn at the first paint, the rest come in idle time, and every row
// draws its own file's picture whatever order the rows were loaded in.
#include <windows.h>

#include <string>

#include "tests/gui/GuiSupport.h"
#include "tests/host/IconBuilder.h"

namespace quorvane::test {
namespace {

TEST_F(MainWindowTest, ALargeLibraryShowsItsFirstRowsAtOnceAndEveryRowAfterIdleTime) {
    constexpr int kIcons = 40;
    MakeFolder(temp / "Icons");
    for (int i = 0; i < kIcons; ++i) {
        const bool red = i % 3 == 0;
        WriteBytes(temp / ("Icons\\" + std::string(red ? "red" : "blue") + std::to_string(i) + ".ico"),
                   BuildIcon(IconSpec{32, 32, 32, false, red ? 0xFF0000u : 0x0000FFu}));
    }
    Create();
    form->Show(SW_SHOW);
    win::StringGrid& grid = form->sgIcons;
    ASSERT_EQ(grid.RowCount(), kIcons);
    // What is on the screen now, nothing drawn again.
    const auto expectRowsInView = [&] {
        RECT client;
        GetClientRect(grid.hwnd(), &client);
        const win::WindowDc dc(grid.hwnd());
        for (int row = grid.TopRow(); row < kIcons && grid.CellRect(row).bottom <= client.bottom; ++row) {
            const bool red = grid.CellText(row).find("red") != std::string::npos;
            EXPECT_EQ(GetPixel(dc.get(), 24, grid.CellRect(row).top + 24), red ? RGB(255, 0, 0) : RGB(0, 0, 255))
                << grid.CellText(row);
        }
    };
    expectRowsInView();
    EXPECT_LT(form->imglstDefaultIcons->Count(), kIcons / 2);

    // The end of the list scrolled into view before the pass came to it.
    SendMessageW(grid.hwnd(), WM_VSCROLL, SB_BOTTOM, 0);
    UpdateWindow(grid.hwnd());
    ASSERT_GT(grid.TopRow(), kIcons / 2);
    expectRowsInView();
    EXPECT_LT(form->imglstDefaultIcons->Count(), kIcons);

    Pump(form.get());
    EXPECT_EQ(form->imglstDefaultIcons->Count(), kIcons);
    SendMessageW(grid.hwnd(), WM_VSCROLL, SB_TOP, 0);
    for (int top = -1; top != grid.TopRow(); SendMessageW(grid.hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0)) {
        top = grid.TopRow();
        UpdateWindow(grid.hwnd());
        expectRowsInView();
    }
    // On a monitor of another scale the pictures come again the same way.
    SendMessageW(grid.hwnd(), WM_VSCROLL, SB_TOP, 0);
    RECT window;
    GetWindowRect(form->hwnd(), &window);
    SendMessageW(form->hwnd(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&window));
    EXPECT_EQ(form->imglstDefaultIcons->Size(), 48);
    EXPECT_LT(form->imglstDefaultIcons->Count(), kIcons / 2);
    Pump(form.get());
    EXPECT_EQ(form->imglstDefaultIcons->Count(), kIcons);
    UpdateWindow(grid.hwnd());
    expectRowsInView();
    EXPECT_TRUE(dialogs.errors.empty());
}

}  // namespace
}  // namespace quorvane::test
