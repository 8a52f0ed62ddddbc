// The about box as the user meets it: its frame, the controls with their
// texts, fonts and places, the program's icon, the link handed to the
// shell, the keys that close it or not, and where it appears.
#include <windows.h>
#include <objbase.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/WinText.h"
#include "resource.h"
#include "tests/gui/GuiSupport.h"
#include "ui/Unit_About.h"

namespace quorvane::test {
namespace {

// One call of the shell, with absent texts told apart from empty ones.
struct ShellCall {
    HWND owner = nullptr;
    bool operationAbsent = false;
    std::wstring file;
    bool parametersAbsent = false;
    std::wstring parameters;
    bool directoryAbsent = false;
    std::wstring directory;
    int showCommand = -1;
    // COM was initialised on the thread, single-threaded, during the call.
    bool inApartment = false;
};

// Whether this thread is in a single-threaded COM apartment now: it refuses
// to join the multithreaded one then.
bool InSingleThreadedApartment() {
    const HRESULT probe = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(probe)) CoUninitialize();
    return probe == RPC_E_CHANGED_MODE;
}

using test::Render;

// An icon drawn at `size` x `size` on the button-face colour.
std::unique_ptr<Canvas> Render(HICON icon, int size) {
    auto canvas = std::make_unique<Canvas>(size, size);
    DrawIconEx(canvas->dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    return canvas;
}

// How much of a rendered label is drawn in `ink`: the pixel count and the
// longest run in one row (an underline spans the caption). Every other
// pixel must be the background.
struct Ink {
    int pixels = 0;
    int longestRow = 0;
};

Ink InkOf(const Canvas& canvas, COLORREF ink, COLORREF background) {
    Ink result;
    for (int y = 0; y < canvas.Height(); ++y) {
        int inRow = 0;
        for (int x = 0; x < canvas.Width(); ++x) {
            const COLORREF c = canvas.At(x, y);
            if (c == ink) {
                ++result.pixels;
                ++inRow;
            } else {
                EXPECT_EQ(c, background) << x << "," << y;
            }
        }
        if (inRow > result.longestRow) result.longestRow = inRow;
    }
    return result;
}


LOGFONTW FontOf(HWND hwnd) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

// The size a label's caption takes in its own font, with the overhang a
// synthesised bold may add.
SIZE TextSize(HWND label) {
    const HDC dc = GetDC(label);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    const std::wstring text = win::Wide(Text(label));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    size.cx += metrics.tmOverhang;
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return size;
}

LayoutRect ScreenRect(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void MoveWindowTo(HWND hwnd, int left, int top, int width, int height) {
    SetWindowPos(hwnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

class AboutBox : public MainWindowTest {
protected:
    void SetUp() override { CreateShown(); }

    std::unique_ptr<TAboutBox> MakeBox(int dpi = 96) {
        return std::make_unique<TAboutBox>(
            form->hwnd(), dpi,
            [this](HWND owner, const wchar_t* operation, const wchar_t* file, const wchar_t* parameters,
                   const wchar_t* directory, int showCommand) {
                ShellCall call;
                call.owner = owner;
                call.operationAbsent = operation == nullptr;
                call.file = file ? file : L"<absent>";
                call.parametersAbsent = parameters == nullptr;
                call.parameters = parameters ? parameters : L"";
                call.directoryAbsent = directory == nullptr;
                call.directory = directory ? directory : L"";
                call.showCommand = showCommand;
                call.inApartment = InSingleThreadedApartment();
                shellCalls.push_back(call);
            });
    }

    // A step that waits until the box is on the screen.
    static std::function<bool()> WhenShown(const TAboutBox& box, std::function<void()> action) {
        return [&box, action] {
            if (!IsWindowVisible(box.hwnd())) return false;
            action();
            return true;
        };
    }
    static void PressKey(HWND target, WPARAM key) { PostMessageW(target, WM_KEYDOWN, key, 0); }

    std::vector<ShellCall> shellCalls;
};

// --- the frame and the controls ---------------------------------------------------

TEST_F(AboutBox, IsAHiddenFixedDialogWithTheDesignClientArea) {
    const auto box = MakeBox();
    EXPECT_FALSE(IsWindowVisible(box->hwnd()));
    EXPECT_EQ(GetWindow(box->hwnd(), GW_OWNER), form->hwnd());
    EXPECT_EQ(Text(box->hwnd()), "О программе...");
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(box->hwnd(), GWL_STYLE));
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    RECT client;
    GetClientRect(box->hwnd(), &client);
    EXPECT_EQ(client.right, 205);
    EXPECT_EQ(client.bottom, 187);
    // The dialog's own ground is the button face.
    const HDC dc = CreateCompatibleDC(nullptr);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(box->hwnd(), WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box->hwnd())));
    DeleteDC(dc);
    LOGBRUSH ground{};
    GetObjectW(brush, sizeof ground, &ground);
    EXPECT_EQ(ground.lbColor, GetSysColor(COLOR_BTNFACE));
}

TEST_F(AboutBox, ControlsSitWhereTheDesignPutsThem) {
    const auto box = MakeBox();
    const HWND panel = box->Panel1.hwnd();
    EXPECT_EQ(GetParent(panel), box->hwnd());
    EXPECT_EQ(RectOf(panel), (LayoutRect{8, 8, 190, 145}));
    EXPECT_EQ(GetParent(box->OKButton), box->hwnd());
    EXPECT_EQ(RectOf(box->OKButton), (LayoutRect{87, 156, 35, 25}));
    EXPECT_EQ(GetParent(box->imgProgramIcon), panel);
    EXPECT_EQ(RectOf(box->imgProgramIcon), (LayoutRect{8, 8, 32, 32}));

    struct Place {
        const char* name;
        HWND label;
        int left;
        int top;
    };
    const Place places[] = {
        {"ProductName", box->ProductName, 56, 13}, {"Version", box->Version, 57, 36},
        {"Label1", box->Label1, 8, 68},           {"Label2", box->Label2, 8, 84},
        {"lblMail", box->lblMail, 8, 100},        {"lblURL", box->lblURL, 40, 120},
    };
    for (const Place& place : places) {
        EXPECT_EQ(GetParent(place.label), panel) << place.name;
        const LayoutRect r = RectOf(place.label);
        EXPECT_EQ(r.left, place.left) << place.name;
        EXPECT_EQ(r.top, place.top) << place.name;
        // Sized to the caption in the label's own font: all of it shows,
        // and no more room than it takes.
        const SIZE text = TextSize(place.label);
        EXPECT_EQ(CaptionPixelsCut(place.label), 0) << place.name;
        EXPECT_LE(r.width, text.cx) << place.name;
        EXPECT_EQ(r.height, text.cy) << place.name;
        // Everything stays inside the panel's bevel.
        EXPECT_LE(r.left + r.width, 190 - 2) << place.name;
    }
    // The design texts in "MS Sans Serif" take the design sizes; the name
    // in its bigger font is a taller line.
    EXPECT_EQ(RectOf(box->Version), (LayoutRect{57, 36, 58, 13}));
    EXPECT_EQ(RectOf(box->Label1), (LayoutRect{8, 68, 145, 13}));
    EXPECT_EQ(RectOf(box->ProductName).height, 20);
    for (HWND label : {box->Label2, box->lblMail, box->lblURL}) EXPECT_EQ(RectOf(label).height, 13) << Text(label);
}

// Made at 144 DPI, or told of it while open (a monitor of another scale).
TEST_F(AboutBox, TheWholeLayoutScalesWithTheDpi) {
    for (const bool moved : {false, true}) {
        const auto box = MakeBox(moved ? 96 : 144);
        if (moved) {
            SetFocus(box->OKButton);
            RECT suggested{100, 50, 400, 350};
            SendMessageW(box->hwnd(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144),
                         reinterpret_cast<LPARAM>(&suggested));
            EXPECT_EQ(ScreenRect(box->hwnd()).left, 100);
            EXPECT_EQ(GetFocus(), box->OKButton);
        }
        RECT client;
        GetClientRect(box->hwnd(), &client);
        EXPECT_EQ(client.right, Scale(205, 144));
        EXPECT_EQ(client.bottom, Scale(187, 144));
        EXPECT_EQ(RectOf(box->Panel1.hwnd()), (LayoutRect{12, 12, 285, Scale(145, 144)}));
        EXPECT_EQ(RectOf(box->OKButton), (LayoutRect{Scale(87, 144), 234, Scale(35, 144), Scale(25, 144)}));
        EXPECT_EQ(RectOf(box->imgProgramIcon), (LayoutRect{12, 12, 48, 48}));
        EXPECT_EQ(RectOf(box->lblURL).left, 60);
        EXPECT_EQ(RectOf(box->lblURL).top, 180);
        EXPECT_EQ(FontOf(box->Version).lfHeight, -16);
        EXPECT_EQ(FontOf(box->ProductName).lfHeight, -24);
    }
}

TEST_F(AboutBox, TextsOfTheControls) {
    const auto box = MakeBox();
    EXPECT_EQ(Text(box->ProductName), "Quorvane");
    EXPECT_EQ(Text(box->Version), "Версия: 0.3");
    EXPECT_EQ(Text(box->Label1), "Дата выпуска: 7 марта 2006");
    EXPECT_EQ(Text(box->Label2), "Автор: Команда Brantwick (brant)");
    EXPECT_EQ(Text(box->lblMail), "e-mail: quorvane@brantwick.example");
    EXPECT_EQ(Text(box->lblURL), "quorvane.brantwick.example");
    EXPECT_EQ(Text(box->OKButton), "OK");
    EXPECT_EQ(Text(box->Panel1.hwnd()), "");
}

TEST_F(AboutBox, FontsAreMsSansSerifWithABigBoldNameAndAnUnderlinedLink) {
    const auto box = MakeBox();
    for (HWND control : {box->Version, box->Label1, box->Label2, box->lblMail, box->OKButton}) {
        const LOGFONTW font = FontOf(control);
        EXPECT_EQ(std::wstring(font.lfFaceName), L"MS Sans Serif") << Text(control);
        EXPECT_EQ(font.lfHeight, -11) << Text(control);
        EXPECT_EQ(font.lfWeight, FW_NORMAL) << Text(control);
        EXPECT_FALSE(font.lfUnderline) << Text(control);
        EXPECT_EQ(font.lfCharSet, RUSSIAN_CHARSET) << Text(control);
    }
    // The program brings the face along: it is found in every size the box
    // asks for, with its Cyrillic letters.
    for (HWND control : {box->ProductName, box->Version, box->lblURL, box->OKButton}) {
        const FaceFound face = FaceOf(control);
        EXPECT_EQ(face.name, L"MS Sans Serif") << Text(control);
        EXPECT_EQ(face.charSet, RUSSIAN_CHARSET) << Text(control);
    }
    const LOGFONTW name = FontOf(box->ProductName);
    EXPECT_EQ(std::wstring(name.lfFaceName), L"MS Sans Serif");
    EXPECT_EQ(name.lfHeight, -16);
    EXPECT_EQ(name.lfWeight, FW_BOLD);
    EXPECT_FALSE(name.lfUnderline);

    const LOGFONTW link = FontOf(box->lblURL);
    EXPECT_EQ(std::wstring(link.lfFaceName), L"MS Sans Serif");
    EXPECT_EQ(link.lfHeight, -11);
    EXPECT_EQ(link.lfWeight, FW_NORMAL);
    EXPECT_TRUE(link.lfUnderline);
}

TEST_F(AboutBox, TheLinkIsDrawnInPureBlueOnTheButtonFaceAndUnderlined) {
    const auto box = MakeBox();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const auto link = Render(box->lblURL);
    const Ink blue = InkOf(*link, RGB(0, 0, 255), face);
    EXPECT_GT(blue.pixels, 0);
    // The underline runs under the whole caption.
    EXPECT_GE(blue.longestRow, link->Width() - 2);

    // The other labels: window text on the button face, and no underline.
    const auto version = Render(box->Version);
    const Ink dark = InkOf(*version, GetSysColor(COLOR_WINDOWTEXT), face);
    EXPECT_GT(dark.pixels, 0);
    EXPECT_LT(dark.longestRow, version->Width() - 2);
}

TEST_F(AboutBox, ThePanelHasALoweredOuterAndARaisedInnerBevel) {
    const auto box = MakeBox();
    const auto panel = Render(box->Panel1.hwnd());
    ASSERT_EQ(panel->Width(), 190);
    ASSERT_EQ(panel->Height(), 145);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    // Outer ring: shadow above and left, light below and right.
    EXPECT_EQ(panel->At(0, 70), shadow);
    EXPECT_EQ(panel->At(95, 0), shadow);
    EXPECT_EQ(panel->At(189, 70), light);
    EXPECT_EQ(panel->At(95, 144), light);
    // Inner ring: the other way round.
    EXPECT_EQ(panel->At(1, 70), light);
    EXPECT_EQ(panel->At(95, 1), light);
    EXPECT_EQ(panel->At(188, 70), shadow);
    EXPECT_EQ(panel->At(95, 143), shadow);
    EXPECT_EQ(panel->At(2, 70), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(panel->At(95, 142), GetSysColor(COLOR_BTNFACE));
}

// --- the icon -----------------------------------------------------------------------

TEST_F(AboutBox, ThePictureIsTheProgramsOwnIcon) {
    const auto box = MakeBox();
    const auto shown = reinterpret_cast<HICON>(SendMessageW(box->imgProgramIcon, STM_GETICON, 0, 0));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown, box->ProgramIcon());
    const win::UniqueIcon program(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
    ASSERT_TRUE(program);
    const auto expected = Render(program.get(), 32);
    // The reference is a picture, not the plain ground.
    int drawn = 0;
    for (COLORREF c : expected->Pixels()) drawn += c != GetSysColor(COLOR_BTNFACE);
    EXPECT_GT(drawn, 32 * 32 / 4);
    EXPECT_EQ(Render(shown, 32)->Pixels(), expected->Pixels());
    // And the control shows it, filling its rectangle.
    EXPECT_EQ(Render(box->imgProgramIcon)->Pixels(), expected->Pixels());

    // Another icon of the executable is told apart.
    const win::UniqueIcon folder(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_FOLDER), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
    EXPECT_NE(Render(folder.get(), 32)->Pixels(), expected->Pixels());
}

TEST_F(AboutBox, TheIconIsStretchedToAScaledControl) {
    const auto box = MakeBox(144);
    const win::UniqueIcon program(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
    EXPECT_EQ(Render(box->imgProgramIcon)->Pixels(), Render(program.get(), 48)->Pixels());
}

// --- the link ------------------------------------------------------------------------

TEST_F(AboutBox, TheLinkShowsAHandPointer) {
    const auto box = MakeBox();
    const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    SetCursor(nullptr);
    EXPECT_TRUE(SendMessageW(box->lblURL, WM_SETCURSOR, reinterpret_cast<WPARAM>(box->lblURL), overClient));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    // The other labels keep the arrow.
    SendMessageW(box->lblMail, WM_SETCURSOR, reinterpret_cast<WPARAM>(box->lblMail), overClient);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(AboutBox, ClickingTheLinkHandsItsAddressToTheShellAndTheBoxStaysOpen) {
    const auto box = MakeBox();
    ASSERT_FALSE(InSingleThreadedApartment());
    bool openAfterClick = false;
    size_t callsWhileOpen = 0;
    ModalScript script({
        WhenShown(*box,
                  [&] {
                      // A real click in the middle of the link.
                      RECT r;
                      GetWindowRect(box->lblURL, &r);
                      SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
                      INPUT clicks[2]{};
                      clicks[0].type = INPUT_MOUSE;
                      clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
                      clicks[1].type = INPUT_MOUSE;
                      clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
                      SendInput(2, clicks, sizeof(INPUT));
                  }),
        [&] {
            if (shellCalls.empty()) return false;
            callsWhileOpen = shellCalls.size();
            openAfterClick = IsWindowVisible(box->hwnd()) != FALSE;
            PressKey(box->OKButton, VK_RETURN);
            return true;
        },
    });
    EXPECT_EQ(box->ShowModal(), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(openAfterClick);
    ASSERT_EQ(callsWhileOpen, 1u);
    ASSERT_EQ(shellCalls.size(), 1u);
    const ShellCall& call = shellCalls[0];
    // The main window owns whatever the shell opens, not the box.
    EXPECT_EQ(call.owner, form->hwnd());
    EXPECT_TRUE(call.operationAbsent);
    // The address shown, with the scheme without which the shell would take
    // it for a file name; the box still shows it without.
    EXPECT_EQ(call.file, L"http://quorvane.brantwick.example");
    EXPECT_EQ(Text(box->lblURL), "quorvane.brantwick.example");
    // COM for the call only, as the shell asks of its callers.
    EXPECT_TRUE(call.inApartment);
    EXPECT_FALSE(InSingleThreadedApartment());
    EXPECT_FALSE(call.parametersAbsent);
    EXPECT_EQ(call.parameters, L"");
    EXPECT_FALSE(call.directoryAbsent);
    EXPECT_EQ(call.directory, L"");
    EXPECT_EQ(call.showCommand, SW_SHOW);
}

TEST_F(AboutBox, OnlyTheLinkOpensAnything) {
    const auto box = MakeBox();
    for (HWND label : {box->ProductName, box->Version, box->Label1, box->Label2, box->lblMail}) {
        SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    Pump(form.get());
    EXPECT_TRUE(shellCalls.empty());
    // Each click on the link is one request.
    SendMessageW(box->lblURL, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(box->lblURL, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    SendMessageW(box->lblURL, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(box->lblURL, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    Pump(form.get());
    EXPECT_EQ(shellCalls.size(), 2u);
}

// --- keys and closing ----------------------------------------------------------------

TEST_F(AboutBox, EnterClosesEscapeDoesNotAndOnlyTheButtonTakesTheFocus) {
    const auto box = MakeBox();
    bool ownerDisabled = false;
    bool okFocused = false;
    bool openAfterEscape = false;
    bool okFocusedAfterTab = false;
    ModalScript script({
        WhenShown(*box,
                  [&] {
                      ownerDisabled = !IsWindowEnabled(form->hwnd());
                      okFocused = GetFocus() == box->OKButton;
                      PressKey(box->OKButton, VK_ESCAPE);
                      PressKey(box->OKButton, VK_TAB);
                  }),
        [&] {
            openAfterEscape = IsWindowVisible(box->hwnd()) != FALSE;
            okFocusedAfterTab = GetFocus() == box->OKButton;
            PressKey(box->OKButton, VK_RETURN);
            return true;
        },
    });
    EXPECT_EQ(box->ShowModal(), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(okFocused);
    EXPECT_TRUE(openAfterEscape);
    EXPECT_TRUE(okFocusedAfterTab);
    EXPECT_FALSE(IsWindowVisible(box->hwnd()));
    EXPECT_TRUE(IsWindowEnabled(form->hwnd()));
    EXPECT_EQ(GetWindowLongPtrW(box->OKButton, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetNextDlgTabItem(box->hwnd(), box->OKButton, FALSE), box->OKButton);
    EXPECT_TRUE(shellCalls.empty());
}

TEST_F(AboutBox, TheButtonTheCloseBoxAndAltF4OnlyHideIt) {
    const auto box = MakeBox();
    {
        ModalScript script({WhenShown(*box, [&] { PostMessageW(box->OKButton, BM_CLICK, 0, 0); })});
        EXPECT_EQ(box->ShowModal(), IDOK);
        EXPECT_TRUE(script.Finished());
    }
    {
        ModalScript script({WhenShown(*box, [&] { PostMessageW(box->hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); })});
        EXPECT_EQ(box->ShowModal(), IDCANCEL);
        EXPECT_TRUE(script.Finished());
    }
    {
        // Alt held: bit 29 of the key data.
        ModalScript script({WhenShown(*box, [&] { PostMessageW(box->OKButton, WM_SYSKEYDOWN, VK_F4, 1 << 29); })});
        EXPECT_EQ(box->ShowModal(), IDCANCEL);
        EXPECT_TRUE(script.Finished());
    }
    // Still there to be shown again, unchanged.
    EXPECT_TRUE(IsWindow(box->hwnd()));
    EXPECT_FALSE(IsWindowVisible(box->hwnd()));
    EXPECT_TRUE(IsWindowEnabled(form->hwnd()));
    EXPECT_EQ(Text(box->lblURL), "quorvane.brantwick.example");
    EXPECT_TRUE(shellCalls.empty());
}

// --- where it appears ---------------------------------------------------------------

TEST_F(AboutBox, FirstCentredOverTheMainWindowThenWhereItWasLeft) {
    const auto box = MakeBox();
    MoveWindowTo(form->hwnd(), 100, 80, 516, 442);
    Pump(form.get());
    const LayoutRect main = ScreenRect(form->hwnd());
    LayoutRect first{};
    ModalScript show1({WhenShown(*box, [&] {
        first = ScreenRect(box->hwnd());
        // The user drags the box elsewhere and closes it.
        SetWindowPos(box->hwnd(), nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        PressKey(box->OKButton, VK_RETURN);
    })});
    box->ShowModal();
    EXPECT_TRUE(show1.Finished());
    EXPECT_EQ(first.left, main.left + (main.width - first.width) / 2);
    EXPECT_EQ(first.top, main.top + (main.height - first.height) / 2);

    // The main window moves; the box stays where it was left.
    MoveWindowTo(form->hwnd(), 300, 200, 516, 442);
    Pump(form.get());
    LayoutRect second{};
    ModalScript show2({WhenShown(*box, [&] {
        second = ScreenRect(box->hwnd());
        PressKey(box->OKButton, VK_RETURN);
    })});
    box->ShowModal();
    EXPECT_TRUE(show2.Finished());
    EXPECT_EQ(second.left, 30);
    EXPECT_EQ(second.top, 40);
    EXPECT_EQ(second.width, first.width);
}

TEST_F(AboutBox, CentringTruncatesTowardZero) {
    const auto box = MakeBox();
    const LayoutRect own = ScreenRect(box->hwnd());
    // A main window narrower and lower than the box by an odd number of
    // pixels: half of -51 is -25, not -26.
    MoveWindowTo(form->hwnd(), 400, 300, own.width - 51, own.height - 31);
    Pump(form.get());
    const LayoutRect main = ScreenRect(form->hwnd());
    ASSERT_EQ(main.width, own.width - 51);
    ASSERT_EQ(main.height, own.height - 31);
    LayoutRect shown{};
    ModalScript script({WhenShown(*box, [&] {
        shown = ScreenRect(box->hwnd());
        PressKey(box->OKButton, VK_RETURN);
    })});
    box->ShowModal();
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(shown.left, main.left - 25);
    EXPECT_EQ(shown.top, main.top - 15);
}

TEST_F(AboutBox, ACentreOffTheScreensTopLeftIsRaisedToZero) {
    const auto box = MakeBox();
    MoveWindowTo(form->hwnd(), -400, -350, 516, 442);
    Pump(form.get());
    const LayoutRect main = ScreenRect(form->hwnd());
    LayoutRect shown{};
    ModalScript script({WhenShown(*box, [&] {
        shown = ScreenRect(box->hwnd());
        PressKey(box->OKButton, VK_RETURN);
    })});
    box->ShowModal();
    EXPECT_TRUE(script.Finished());
    ASSERT_LT(main.left + (main.width - shown.width) / 2, 0) << Describe(main);
    ASSERT_LT(main.top + (main.height - shown.height) / 2, 0) << Describe(main);
    EXPECT_EQ(shown.left, 0);
    EXPECT_EQ(shown.top, 0);
}

}  // namespace
}  // namespace quorvane::test
