// The main window as built: its control tree, layout at the design size and
// after resizing, the splitter, texts, fonts, starting states, hints, the
// tab order and the other keys, the scaling at another DPI, system colours
// that change while it runs, and the taskbar entry.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "folder_settings/UiTexts.h"
#include "platform/win32/WinText.h"
#include "tests/gui/GuiSupport.h"
#include "ui/Application.h"
#include "ui/MainLayout.h"

namespace quorvane::test {
namespace {

struct Expected {
    const char* name;
    const char* parent;
    LayoutRect rect;
};

// The design layout, as the window was drawn; labels by position only.
const std::vector<Expected>& DesignTable() {
    static const std::vector<Expected> table = {
        {"pnlTree", "frmMain", {0, 0, 177, 408}},
        {"Splitter1", "frmMain", {177, 0, 3, 408}},
        {"pnlGlobalConfig", "frmMain", {180, 0, 328, 408}},
        {"TreeView", "pnlTree", {4, 4, 171, 400}},
        {"DriveComboBox", "pnlTree", {96, 40, 89, 19}},
        {"pnlConfig", "pnlGlobalConfig", {0, 0, 250, 408}},
        {"pnlIcons", "pnlGlobalConfig", {250, 0, 78, 408}},
        {"sgIcons", "pnlIcons", {4, 4, 70, 367}},
        {"pnlTop", "pnlConfig", {0, 0, 250, 33}},
        {"pnlImage", "pnlConfig", {0, 33, 250, 167}},
        {"pnlBottom", "pnlConfig", {0, 200, 250, 208}},
        {"GroupBox2", "pnlTop", {4, 0, 215, 33}},
        {"SpeedButton1", "pnlTop", {223, 7, 24, 24}},
        {"GroupBox1", "pnlImage", {4, 0, 245, 163}},
        {"Image", "GroupBox1", {4, 16, 165, 103}},
        {"btnBrowseImage", "GroupBox1", {176, 8, 66, 151}},
        {"chboxCopyImage", "GroupBox1", {6, 123, 123, 17}},
        {"btnRestoreImage", "GroupBox1", {4, 140, 125, 18}},
        {"GroupBox4", "pnlBottom", {4, 0, 245, 57}},
        {"btnBrowseTextColor", "GroupBox4", {88, 10, 25, 41}},
        {"btnRestoreTextColor", "GroupBox4", {4, 32, 76, 18}},
        {"btnBrowseBckGrColor", "GroupBox4", {219, 10, 23, 41}},
        {"btnRestoreBckGrColor", "GroupBox4", {136, 32, 76, 18}},
        {"GroupBox3", "pnlBottom", {4, 64, 245, 107}},
        {"imgIcon", "GroupBox3", {8, 16, 64, 64}},
        {"btnBrowseIcon", "GroupBox3", {176, 8, 66, 95}},
        {"btnRestoreIcon", "GroupBox3", {4, 84, 125, 18}},
        {"btnApply", "pnlBottom", {3, 177, 75, 25}},
        {"btnExit", "pnlBottom", {173, 177, 75, 25}},
    };
    return table;
}

LayoutRect FromLayout(const MainLayout& l, const std::string& name) {
    const form::Index control = FormIndex(name);
    if (control >= 0 && control < form::kControlCount) return l[control];
    ADD_FAILURE() << "no layout entry " << name;
    return {};
}

// A drop-down list is as high as its font makes its selection field, not
// as high as it is placed; only that height is the system's.
int ComboHeight(HWND combo) {
    EXPECT_EQ(GetWindowLongPtrW(combo, GWL_STYLE) & 0x3, CBS_DROPDOWNLIST);
    return RectOf(combo).height;
}

// Wine hands a minimise or a restore to the window manager, which carries it
// out in its own time. Should its answer ("iconic", "normal") reach Wine after
// the program has already gone the other way, Wine takes it for the user
// minimising or restoring the window again. A window shown and hidden is a
// round trip through the window manager behind every request made before
// it: Wine withdraws a managed window only once the manager has mapped it,
// and the manager handles requests in order. What was queued meanwhile is
// dispatched before the test goes on.
void WaitForWindowManager(TfrmMain* form) {
    const HWND probe = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"STATIC", L"", WS_POPUP | WS_CAPTION, 0,
                                       0, 1, 1, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(probe, nullptr);
    ShowWindow(probe, SW_SHOWNOACTIVATE);
    ShowWindow(probe, SW_HIDE);
    DestroyWindow(probe);
    Pump(form);
}

class MainWindowLayout : public MainWindowTest {
protected:
    void ExpectLayout(int width, int height, int treeWidth, int dpi) {
        const MainLayout expected = ComputeMainLayout(width, height, treeWidth, dpi);
        for (const Expected& e : DesignTable()) {
            const HWND control = form->Control(e.name);
            ASSERT_NE(control, nullptr) << e.name;
            const LayoutRect actual = RectOf(control);
            const LayoutRect want = FromLayout(expected, e.name);
            // Sizes below zero show as no size.
            LayoutRect shown{want.left, want.top, want.width < 0 ? 0 : want.width, want.height < 0 ? 0 : want.height};
            if (control == form->DriveComboBox) shown.height = actual.height;  // see ComboHeight
            EXPECT_EQ(actual, shown) << e.name << " is " << Describe(actual) << ", expected " << Describe(shown)
                                     << " at " << width << "x" << height << " tree " << treeWidth;
        }
    }
};

TEST_F(MainWindowLayout, EveryControlSitsInItsParentAsDesigned) {
    Create();
    SetClientSize(508, 408);
    for (const Expected& e : DesignTable()) {
        const HWND control = form->Control(e.name);
        ASSERT_NE(control, nullptr) << e.name;
        EXPECT_EQ(GetParent(control), form->Control(e.parent)) << e.name << " should be in " << e.parent;
        LayoutRect expected = e.rect;
        if (control == form->DriveComboBox) expected.height = ComboHeight(control);
        EXPECT_EQ(RectOf(control), expected) << e.name << " is " << Describe(RectOf(control)) << ", expected "
                                           << Describe(e.rect);
    }
    // Labels keep their places and take the size of their texts.
    EXPECT_EQ(GetParent(form->lblDir), form->GroupBox2);
    EXPECT_EQ(RectOf(form->lblDir).left, 8);
    EXPECT_EQ(RectOf(form->lblDir).top, 14);
    // The bold ones take the design sizes, the overhang of the bold included.
    EXPECT_EQ(RectOf(form->lblTextColor), (LayoutRect{6, 13, 78, 13}));
    EXPECT_EQ(RectOf(form->lblBckGrColor), (LayoutRect{139, 13, 68, 13}));
}

TEST_F(MainWindowLayout, EveryCaptionShowsWholeInItsControl) {
    CreateShown();
    SetClientSize(508, 408);
    for (const char* name : {"chboxCopyImage", "btnRestoreImage", "btnRestoreTextColor", "btnRestoreBckGrColor",
                             "btnRestoreIcon", "btnApply", "btnExit", "lblTextColor", "lblBckGrColor"}) {
        EXPECT_EQ(CaptionPixelsCut(form->Control(name)), 0) << name;
    }
    // The check box's text ends inside its box, with room to spare.
    RECT text{0, 0, 0, 0};
    {
        const win::WindowDc dc(form->chboxCopyImage);
        const auto font = reinterpret_cast<HFONT>(SendMessageW(form->chboxCopyImage, WM_GETFONT, 0, 0));
        win::ScopedSelect select(dc.get(), font);
        DrawTextW(dc.get(), win::Wide(text::kCopyToFolder).c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
    }
    EXPECT_LE(GetSystemMetrics(SM_CXMENUCHECK) + text.right, RectOf(form->chboxCopyImage).width);
}

TEST_F(MainWindowLayout, FollowsTheResizingRulesWhenWiderAndTaller) {
    CreateShown();
    SetClientSize(760, 408);
    ExpectLayout(760, 408, 177, 96);
    EXPECT_EQ(RectOf(form->pnlIcons.hwnd()).width, 78);
    EXPECT_EQ(RectOf(form->btnApply).left, 3 + 252);
    EXPECT_EQ(RectOf(form->btnExit).left - (RectOf(form->btnApply).left + 75), 95);

    SetClientSize(508, 650);
    ExpectLayout(508, 650, 177, 96);
    EXPECT_EQ(RectOf(form->Image.hwnd()).height, 650 - 305);
    EXPECT_EQ(RectOf(form->btnRestoreImage).top, 650 - 268);
    EXPECT_EQ(RectOf(form->GroupBox3).height, 107);

    // Back to the design size: nothing drifted on the way.
    SetClientSize(508, 408);
    for (const Expected& e : DesignTable()) {
        LayoutRect expected = e.rect;
        if (form->Control(e.name) == form->DriveComboBox) expected.height = ComboHeight(form->DriveComboBox);
        EXPECT_EQ(RectOf(form->Control(e.name)), expected) << e.name;
    }
}

TEST_F(MainWindowLayout, SmallerThanItsFixedPartsShowsControlsWithNoSize) {
    CreateShown();
    SetClientSize(220, 200);
    ExpectLayout(220, 200, 177, 96);
    EXPECT_EQ(RectOf(form->Image.hwnd()).height, 0);
}

TEST_F(MainWindowLayout, SplitterCollapsesTheTreeAndBringsItBack) {
    CreateShown();
    SetClientSize(508, 408);
    const HWND splitter = form->Splitter1.hwnd();
    auto drag = [&](int from, int to) {
        SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from, 50));
        EXPECT_TRUE(form->Splitter1.Dragging());
        SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>((from + to) / 2), 50));
        SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(to), 50));
        // Nothing moves before the button is released.
        EXPECT_EQ(RectOf(splitter).left, form->TreeWidth());
        SendMessageW(splitter, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(to), 50));
        EXPECT_FALSE(form->Splitter1.Dragging());
        Pump(form.get());
    };

    drag(1, 1 - 60);  // to 117
    EXPECT_EQ(form->TreeWidth(), 117);
    ExpectLayout(508, 408, 117, 96);

    drag(1, 1 - 87);  // to 30: collapses
    EXPECT_EQ(form->TreeWidth(), 0);
    EXPECT_EQ(RectOf(form->pnlTree.hwnd()).width, 0);
    EXPECT_EQ(RectOf(splitter).left, 0);
    ExpectLayout(508, 408, 0, 96);

    drag(1, 1 + 150);  // out again
    EXPECT_EQ(form->TreeWidth(), 150);
    EXPECT_EQ(RectOf(form->TreeView).width, 144);

    drag(1, 1 + 1000);  // the right-hand area keeps 30 pixels
    EXPECT_EQ(form->TreeWidth(), 508 - 33);
    EXPECT_EQ(RectOf(form->pnlGlobalConfig.hwnd()).width, 30);
}

TEST_F(MainWindowLayout, LosingTheMouseCancelsADrag) {
    CreateShown();
    const HWND splitter = form->Splitter1.hwnd();
    SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 50));
    SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(80, 50));
    ReleaseCapture();
    EXPECT_FALSE(form->Splitter1.Dragging());
    EXPECT_EQ(form->TreeWidth(), 177);
}

TEST_F(MainWindowLayout, ScalesTheWholeLayoutAtAnotherDpi) {
    Create(144);
    RECT outer;
    GetWindowRect(form->hwnd(), &outer);
    EXPECT_EQ(outer.right - outer.left, Scale(516, 144));
    EXPECT_EQ(outer.bottom - outer.top, Scale(442, 144));
    EXPECT_EQ(form->TreeWidth(), Scale(177, 144));
    SetClientSize(Scale(508, 144), Scale(408, 144));
    ExpectLayout(Scale(508, 144), Scale(408, 144), Scale(177, 144), 144);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(form->btnApply, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -16);
    EXPECT_EQ(TreeView_GetIndent(form->TreeView), static_cast<UINT>(Scale(19, 144)));
}

// What the window shows that depends on the DPI: every control's place and
// font, the image lists', grid's and tree's sizes.
std::vector<std::pair<std::string, std::vector<int>>> DpiSnapshot(TfrmMain& form) {
    std::vector<std::pair<std::string, std::vector<int>>> shown;
    for (const ControlRow& row : kMainForm) {
        const HWND control = form.Control(row.name);
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
        const LayoutRect r = RectOf(control);
        shown.push_back({row.name, {r.left, r.top, r.width, r.height, static_cast<int>(font.lfHeight)}});
    }
    const RECT cell = form.sgIcons.CellRect(0);
    shown.push_back({"sizes",
                     {form.TreeImageList->Size(), form.TreeImageList->Count(), form.imglstDefaultIcons->Size(),
                      static_cast<int>(TreeView_GetIndent(form.TreeView)), static_cast<int>(cell.right - cell.left),
                      static_cast<int>(cell.bottom - cell.top), form.TreeWidth()}});
    return shown;
}

// Windows 10 and 11 tell a per-monitor aware window of a monitor of another
// scale; it then looks as if it had been opened there. One that opens on
// such a monitor is made there from the start.
TEST_F(MainWindowLayout, AnotherMonitorsScaleGivesTheLayoutOfAFreshStartThere) {
    Create(96, nullptr, 144);
    RECT client;
    GetClientRect(form->hwnd(), &client);
    EXPECT_EQ(Describe({0, 0, client.right, client.bottom}), Describe({0, 0, Scale(508, 144), Scale(408, 144)}));
    const auto opened = DpiSnapshot(*form);
    form.reset();
    Create(144);
    const auto fresh = DpiSnapshot(*form);
    RECT freshRect;
    GetWindowRect(form->hwnd(), &freshRect);
    SetClientSize(Scale(508, 144), Scale(408, 144));
    EXPECT_EQ(DpiSnapshot(*form), opened);
    form.reset();
    Create(96);
    const auto start = DpiSnapshot(*form);
    RECT startRect;
    GetWindowRect(form->hwnd(), &startRect);
    SendMessageW(form->hwnd(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&freshRect));
    EXPECT_EQ(form->Dpi(), 144);
    EXPECT_EQ(DpiSnapshot(*form), fresh);
    SendMessageW(form->hwnd(), 0x02E0, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&startRect));
    EXPECT_EQ(DpiSnapshot(*form), start);
}

TEST_F(MainWindowTest, OuterSizeCaptionAndStyleOfTheWindow) {
    Create();
    RECT outer;
    GetWindowRect(form->hwnd(), &outer);
    EXPECT_EQ(outer.right - outer.left, 516);
    EXPECT_EQ(outer.bottom - outer.top, 442);
    const std::string caption = Text(form->hwnd());
    EXPECT_EQ(caption, "Quorvane 0.3" + std::string(38, ' ') + "[Brantwick]");
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(form->hwnd(), GWL_STYLE));
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(GetMenu(form->hwnd()));
    EXPECT_EQ(form->Title(), "quorvane");
}

// The run on a prefix that reports XP proves something only if the program
// sees XP there.
TEST(WindowsVersion, IsTheOneTheRunAsksFor) {
    const char* asked = std::getenv("QUORVANE_WINDOWS_VERSION");
    const std::string version = asked ? asked : "";
    if (version != "winxp" && version != "winxp64") GTEST_SKIP() << "this run asks for no particular version";
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExW(&info));
    EXPECT_EQ(info.dwMajorVersion, 5u);
    EXPECT_EQ(info.dwMinorVersion, version == "winxp" ? 1u : 2u);  // XP x64 is NT 5.2
}

TEST_F(MainWindowTest, ShowCentresTheWindowOnTheScreen) {
    Create();
    form->Show(SW_SHOW);
    Pump(form.get());
    EXPECT_TRUE(IsWindowVisible(form->hwnd()));
    RECT r;
    GetWindowRect(form->hwnd(), &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2);
}

TEST_F(MainWindowTest, TextsOfTheControls) {
    Create();
    const std::pair<const char*, std::string> texts[] = {
        {"GroupBox2", "Путь"},
        {"GroupBox1", "Рисунок"},
        {"GroupBox4", "Цвет"},
        {"GroupBox3", "Иконка"},
        {"btnBrowseImage", "..."},
        {"chboxCopyImage", "Копировать в папку"},
        {"btnRestoreImage", "Восстановить"},
        {"lblTextColor", "Цвет текста:"},
        {"btnBrowseTextColor", "..."},
        {"btnRestoreTextColor", "Восстановить"},
        {"lblBckGrColor", "Цвет фона:"},
        {"btnBrowseBckGrColor", "..."},
        {"btnRestoreBckGrColor", "Восстановить"},
        {"btnBrowseIcon", "..."},
        {"btnRestoreIcon", "Восстановить"},
        {"btnApply", "Применить"},
        {"btnExit", "Выход"},
        {"lblDir", ""},
        {"SpeedButton1", ""},
    };
    for (const auto& [name, text] : texts) EXPECT_EQ(Text(form->Control(name)), text) << name;
}

TEST_F(MainWindowTest, FontsAreMsSansSerifWithBoldColourLabels) {
    Create();
    auto fontOf = [](HWND hwnd) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof font, &font);
        return font;
    };
    for (const char* name : {"btnApply", "lblDir", "GroupBox1", "chboxCopyImage", "TreeView", "btnRestoreIcon"}) {
        const LOGFONTW font = fontOf(form->Control(name));
        EXPECT_EQ(std::wstring(font.lfFaceName), L"MS Sans Serif") << name;
        EXPECT_EQ(font.lfHeight, -11) << name;
        EXPECT_EQ(font.lfWeight, FW_NORMAL) << name;
        EXPECT_EQ(font.lfCharSet, RUSSIAN_CHARSET) << name;
    }
    for (const char* name : {"lblTextColor", "lblBckGrColor"}) {
        const LOGFONTW font = fontOf(form->Control(name));
        EXPECT_EQ(std::wstring(font.lfFaceName), L"MS Sans Serif") << name;
        EXPECT_EQ(font.lfHeight, -11) << name;
        EXPECT_EQ(font.lfWeight, FW_BOLD) << name;
    }
    // What is asked for is what is found, although the system itself has
    // no Cyrillic "MS Sans Serif": the program brings it along.
    EXPECT_FALSE(SystemListsFontFile(L"sserifer.fon"));
    for (const char* name : {"btnApply", "chboxCopyImage", "TreeView", "lblTextColor"}) {
        const FaceFound face = FaceOf(form->Control(name));
        EXPECT_EQ(face.name, L"MS Sans Serif") << name;
        EXPECT_EQ(face.charSet, RUSSIAN_CHARSET) << name;
    }
}

TEST_F(MainWindowTest, StartingStatesOfTheControls) {
    Create();
    EXPECT_TRUE(IsWindowEnabled(form->btnRestoreImage));
    EXPECT_TRUE(IsWindowEnabled(form->btnRestoreIcon));
    for (const char* name : {"btnBrowseImage", "btnBrowseTextColor", "btnBrowseBckGrColor", "btnRestoreTextColor",
                             "btnRestoreBckGrColor", "btnBrowseIcon", "btnApply", "btnExit", "chboxCopyImage"}) {
        EXPECT_TRUE(IsWindowEnabled(form->Control(name))) << name;
    }
    EXPECT_EQ(SendMessageW(form->chboxCopyImage, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_FALSE(form->CopyPicture());
    EXPECT_FALSE(IsWindowVisible(form->DriveComboBox));
    EXPECT_EQ(form->FolderPath(), "");
    EXPECT_EQ(form->PicturePath(), "");
    EXPECT_EQ(form->Picture(), nullptr);
    EXPECT_EQ(form->IconPath(), "");
    EXPECT_EQ(form->imgIcon.Picture(), nullptr);
    // Both colour labels start in the window-text colour.
    EXPECT_EQ(form->TextColor(), 0x80000000u | COLOR_WINDOWTEXT);
    EXPECT_EQ(form->TextBackgroundColor(), 0x80000000u | COLOR_WINDOWTEXT);
    EXPECT_EQ(form->Tree().FirstRoot(), kNoNode);
    EXPECT_EQ(form->sgIcons.RowCount(), 1);
    EXPECT_EQ(form->sgIcons.CellText(0), "");
    // No default button: Enter means only the focused button, Esc nothing.
    for (HWND button : {form->btnApply, form->btnExit, form->btnBrowseImage}) {
        EXPECT_FALSE(GetWindowLongPtrW(button, GWL_STYLE) & BS_DEFPUSHBUTTON);
    }
    // The tree and its images.
    EXPECT_EQ(form->TreeImageList->Count(), 2);
    EXPECT_EQ(form->TreeImageList->Size(), 16);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(form->TreeView, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)),
              form->TreeImageList->Handle());
    EXPECT_EQ(form->imglstDefaultIcons->Count(), 0);
    EXPECT_EQ(form->imglstDefaultIcons->Size(), 32);
    EXPECT_EQ(TreeView_GetIndent(form->TreeView), 19u);
    const auto treeStyle = static_cast<DWORD>(GetWindowLongPtrW(form->TreeView, GWL_STYLE));
    for (DWORD bit : {TVS_HASLINES, TVS_HASBUTTONS, TVS_LINESATROOT, TVS_SINGLEEXPAND, TVS_TRACKSELECT,
                      TVS_DISABLEDRAGDROP}) {
        EXPECT_TRUE(treeStyle & bit) << std::hex << bit;
    }
    for (DWORD bit : {TVS_EDITLABELS, TVS_SHOWSELALWAYS, TVS_NOTOOLTIPS}) EXPECT_FALSE(treeStyle & bit) << bit;
}

std::string ToolText(HWND tooltip, HWND owner, HWND tool) {
    wchar_t buffer[1024] = {};
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = buffer;
    SendMessageW(tooltip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&info));
    return win::Narrow(buffer);
}

TEST_F(MainWindowTest, HintsShowTheStateAndWaitHalfASecond) {
    Create();
    const HWND tip = form->hintWindow;
    EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 500);
    EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 2500);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 4);

    EXPECT_EQ(ToolText(tip, form->hwnd(), form->btnBrowseImage), "Выбрать рисунок");
    EXPECT_EQ(ToolText(tip, form->hwnd(), form->lblDir), "");
    form->SetFolderPath(temp.path());
    form->SetPictureHint("D:\\Фото\\море.jpg");
    form->SetIconPath("D:\\icons\\a.ico");
    EXPECT_EQ(ToolText(tip, form->hwnd(), form->lblDir), temp.path());
    EXPECT_EQ(ToolText(tip, form->hwnd(), form->Image.hwnd()), "D:\\Фото\\море.jpg");
    EXPECT_EQ(ToolText(tip, form->hwnd(), form->imgIcon.hwnd()), "D:\\icons\\a.ico");
    // The folder label also shows the path and is sized to it.
    EXPECT_EQ(Text(form->lblDir), temp.path());
    EXPECT_GT(RectOf(form->lblDir).width, 0);
}

TEST_F(MainWindowTest, TabMovesAlongTheDesignedOrderSkippingDisabledControls) {
    CreateShown();
    SetFocus(form->TreeView);
    auto pressTab = [this](bool shift) {
        BYTE keys[256];
        GetKeyboardState(keys);
        const BYTE saved = keys[VK_SHIFT];
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG msg{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        EXPECT_TRUE(form->PreTranslateMessage(msg));
        keys[VK_SHIFT] = saved;
        SetKeyboardState(keys);
    };
    const std::vector<HWND> order = {form->TreeView,           form->sgIcons.hwnd(),   form->btnExit,
                                     form->btnApply,           form->btnBrowseIcon,    form->btnRestoreIcon,
                                     form->btnBrowseTextColor, form->btnBrowseBckGrColor,
                                     form->btnRestoreTextColor, form->btnRestoreBckGrColor,
                                     form->btnBrowseImage,     form->chboxCopyImage,   form->btnRestoreImage,
                                     form->TreeView};
    ASSERT_EQ(GetFocus(), form->TreeView);
    for (size_t i = 1; i < order.size(); ++i) {
        pressTab(false);
        EXPECT_EQ(GetFocus(), order[i]) << "step " << i;
    }
    pressTab(true);
    EXPECT_EQ(GetFocus(), form->btnRestoreImage);

    EnableWindow(form->btnRestoreIcon, FALSE);
    SetFocus(form->btnBrowseIcon);
    pressTab(false);
    EXPECT_EQ(GetFocus(), form->btnBrowseTextColor);
}

TEST_F(MainWindowTest, TheProgramStandsOnTheTaskbarUnderItsTitle) {
    TApplication application(GetModuleHandleW(nullptr), "C:\\Tools\\QUORVANE.EXE");
    EXPECT_EQ(application.Title(), "Quorvane");
    EXPECT_EQ(Text(application.hwnd()), "Quorvane");
    RECT r;
    GetWindowRect(application.hwnd(), &r);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 0);

    TfrmMain::Options options;
    options.dpi = 96;
    options.executablePath = "C:\\Tools\\QUORVANE.EXE";
    options.owner = application.hwnd();
    options.quitOnClose = false;
    form = std::make_unique<TfrmMain>(GetModuleHandleW(nullptr), platform, dialogs, options);
    application.SetMainForm(form->hwnd());
    application.ShowTaskbarEntry();
    form->Show(SW_SHOW);
    Pump(form.get());
    EXPECT_EQ(GetWindow(form->hwnd(), GW_OWNER), application.hwnd());
    EXPECT_EQ(form->Title(), "Quorvane");

    // Minimising the window minimises the program to its taskbar entry.
    // Each step starts once the window manager has done the one before, as
    // it has by the time a person clicks again.
    WaitForWindowManager(form.get());
    SendMessageW(form->hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(form->hwnd()) && IsIconic(application.hwnd()); },
                          form.get()));
    WaitForWindowManager(form.get());
    SendMessageW(application.hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(form->hwnd()) && !IsIconic(application.hwnd()); },
                          form.get()));

    // Closing the taskbar entry closes the window.
    const HWND window = form->hwnd();
    SendMessageW(application.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(PumpUntil([window] { return !IsWindow(window); }));
    form.reset();
}

TEST_F(MainWindowTest, SystemColoursChangedWhileRunningShowAsAtAFreshStart) {
    const std::string bmp = temp / "small.bmp";
    WriteBytes(bmp, SolidBmp(40, 30, 0xFF0000));
    // No item under the pointer, which the tree would highlight.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    auto start = [&] {
        CreateShown();
        SetClientSize(508, 408);
        FolderTree& tree = form->Tree();
        for (const char* drive : {"C:", "D:", "E:"}) tree.AddChild(tree.AddRoot(drive), "Папка");
        dialogs.openAnswers = {bmp};
        Click(form->btnBrowseImage);
        ASSERT_NE(form->Picture(), nullptr);
    };
    start();
    const COLORREF faceBefore = GetSysColor(COLOR_BTNFACE);
    ASSERT_EQ(OnScreen(form->Image.hwnd())[0], faceBefore);

    const std::vector<int> elements = {COLOR_BTNFACE,   COLOR_BTNTEXT,      COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT,
                                       COLOR_3DDKSHADOW, COLOR_3DLIGHT,     COLOR_WINDOW,    COLOR_WINDOWTEXT,
                                       COLOR_GRAYTEXT,   COLOR_HIGHLIGHT,   COLOR_HIGHLIGHTTEXT, COLOR_HOTLIGHT,
                                       COLOR_INFOBK,     COLOR_INFOTEXT};
    const COLORREF black = RGB(0, 0, 0);
    const COLORREF white = RGB(255, 255, 255);
    const std::vector<COLORREF> highContrast = {black, white, RGB(128, 128, 128), white, RGB(64, 64, 64),
                                                RGB(192, 192, 192), black, white, RGB(0, 255, 0),
                                                RGB(26, 235, 255), black, RGB(255, 255, 0), black, white};
    const SentMessages sent;
    const SystemColours colours(elements, highContrast);
    Pump(form.get());
    // The system tells the top-level window; the tree view hears it from
    // there, as the common controls need (Wine's redraws it right anyway).
    EXPECT_TRUE(sent.Reached(form->TreeView, WM_SYSCOLORCHANGE));
    SendMessageW(form->hwnd(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    EXPECT_TRUE(sent.Reached(form->TreeView, WM_SETTINGCHANGE));
    const std::vector<COLORREF> treeNow = OnScreen(form->TreeView);
    const std::vector<COLORREF> pictureNow = OnScreen(form->Image.hwnd());
    auto hintColours = [this] {
        return std::make_pair(static_cast<COLORREF>(SendMessageW(form->hintWindow, TTM_GETTIPBKCOLOR, 0, 0)),
                              static_cast<COLORREF>(SendMessageW(form->hintWindow, TTM_GETTIPTEXTCOLOR, 0, 0)));
    };
    const auto hintNow = hintColours();

    form.reset();
    start();
    const std::vector<COLORREF> treeFresh = OnScreen(form->TreeView);
    const std::vector<COLORREF> pictureFresh = OnScreen(form->Image.hwnd());
    const auto hintFresh = hintColours();

    // Backgrounds in the new colours, the tree's text too.
    ASSERT_FALSE(treeNow.empty());
    EXPECT_EQ(treeNow.back(), black);
    EXPECT_NE(std::count(treeNow.begin(), treeNow.end(), white), 0);
    EXPECT_EQ(pictureNow[0], black);
    EXPECT_NE(std::count(pictureNow.begin(), pictureNow.end(), RGB(255, 0, 0)), 0);
    // And pixel for pixel as a window made in those colours shows them.
    EXPECT_TRUE(treeNow == treeFresh);
    EXPECT_TRUE(pictureNow == pictureFresh);
    // The hints too.
    EXPECT_EQ(hintNow, std::make_pair(black, white));
    EXPECT_EQ(hintNow, hintFresh);
}

TEST_F(MainWindowTest, EnterPressesTheFocusedButtonAndTheKeyboardShowsTheFocus) {
    CreateShown();
    auto press = [this](HWND target, UINT message, WPARAM key) {
        PostMessageW(target, message, key, message == WM_SYSKEYDOWN ? (1 << 29) : 0);
        Pump(form.get());
    };
    // The keys ask the window to show the focus rectangles, and Alt the
    // underlined letters, that Windows hides until the keyboard is used.
    // (Wine keeps no such state, so only the request can be seen here.)
    SentMessages sent;
    const WPARAM showFocus = MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS);
    const WPARAM showAll = MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL);
    SetFocus(form->btnApply);
    press(form->btnApply, WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), form->btnBrowseIcon);
    EXPECT_TRUE(sent.Reached(form->hwnd(), WM_CHANGEUISTATE, showFocus));
    sent.Clear();
    press(form->btnBrowseIcon, WM_SYSKEYDOWN, VK_MENU);
    EXPECT_TRUE(sent.Reached(form->hwnd(), WM_CHANGEUISTATE, showAll));

    // Enter presses the button that has the focus, wherever it sits.
    dialogs.colorAnswers = {RGB(1, 2, 3)};
    SetFocus(form->btnBrowseTextColor);
    sent.Clear();
    press(form->btnBrowseTextColor, WM_KEYDOWN, VK_RETURN);
    ASSERT_EQ(dialogs.colorStarts.size(), 1u);
    EXPECT_EQ(form->TextColor(), RGB(1, 2, 3));
    EXPECT_EQ(GetFocus(), form->btnBrowseTextColor);
    EXPECT_TRUE(sent.Reached(form->hwnd(), WM_CHANGEUISTATE, showFocus));
    dialogs.openAnswers = {std::nullopt};
    SetFocus(form->btnBrowseImage);
    press(form->btnBrowseImage, WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(dialogs.openCalls.size(), 1u);

    // No default button: Enter elsewhere and Esc anywhere do nothing.
    SetFocus(form->chboxCopyImage);
    press(form->chboxCopyImage, WM_KEYDOWN, VK_RETURN);
    EXPECT_FALSE(form->CopyPicture());
    SetFocus(form->TreeView);
    press(form->TreeView, WM_KEYDOWN, VK_RETURN);
    SetFocus(form->btnExit);
    press(form->btnExit, WM_KEYDOWN, VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(form->hwnd()));
    EXPECT_EQ(dialogs.colorStarts.size(), 1u);
    EXPECT_EQ(dialogs.openCalls.size(), 1u);
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_TRUE(dialogs.informations.empty());
}

TEST_F(MainWindowTest, TheToolButtonKeepsTheFocusWhereItWas) {
    CreateShown();
    SetFocus(form->btnApply);
    SendMessageW(form->SpeedButton1.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(GetFocus(), form->btnApply);
    ReleaseCapture();
}

}  // namespace
}  // namespace quorvane::test
