// The real system dialogs as the user meets them: the error box, the
// program's own information message, and the open dialogs with their preview.
#include <windows.h>
#include <dlgs.h>

#include <string>

#include "platform/win32/WinText.h"
#include "tests/gui/GuiSupport.h"
#include "tests/host/IconBuilder.h"
#include "ui/SystemDialogs.h"

namespace quorvane::test {
namespace {

struct Seen {
    std::string caption;
    std::string text;
    bool ownerDisabled = false;
    bool hasOk = false;
    bool hasCancel = false;
    bool hasIcon = false;
    RECT box{};
    LayoutRect textRect{};
};

Seen Inspect(HWND box, HWND owner) {
    Seen seen;
    seen.caption = Text(box);
    seen.ownerDisabled = !IsWindowEnabled(owner);
    seen.hasOk = GetDlgItem(box, IDOK) != nullptr;
    seen.hasCancel = GetDlgItem(box, IDCANCEL) != nullptr;
    GetWindowRect(box, &seen.box);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (std::wstring(name) != L"Static") continue;
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
        if ((style & SS_TYPEMASK) == SS_ICON) {
            seen.hasIcon = true;
        } else if (!Text(child).empty()) {
            seen.text = Text(child);
            seen.textRect = RectOf(child);
        }
    }
    return seen;
}

class Messages : public MainWindowTest {};

TEST_F(Messages, TheErrorBoxIsASystemBoxWithAStopIcon) {
    CreateShown();
    win::SystemDialogs system(platform, 96);
    Seen seen;
    ModalScript script({[&] {
        const HWND box = FindOwnedDialog(form->hwnd());
        if (!box) return false;
        seen = Inspect(box, form->hwnd());
        SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        return true;
    }});
    system.ShowError(form->hwnd(), "quorvane", "Icon image is not valid.");
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(seen.caption, "quorvane");
    EXPECT_EQ(seen.text, "Icon image is not valid.");
    EXPECT_TRUE(seen.hasIcon);
    EXPECT_TRUE(seen.hasOk);
    EXPECT_FALSE(seen.hasCancel);
    EXPECT_TRUE(seen.ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(form->hwnd()));
}

TEST_F(Messages, TheInformationMessageIsCentredWithoutAnIconAndEnterClosesIt) {
    CreateShown();
    win::SystemDialogs system(platform, 96);
    Seen seen;
    ModalScript script({[&] {
        const HWND box = FindOwnedDialog(form->hwnd());
        if (!box) return false;
        seen = Inspect(box, form->hwnd());
        PostMessageW(GetDlgItem(box, IDOK), WM_KEYDOWN, VK_RETURN, 0);
        return true;
    }});
    system.ShowInformation(form->hwnd(), "quorvane", "Не выбрана папка для обработки!");
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(seen.caption, "quorvane");
    EXPECT_EQ(seen.text, "Не выбрана папка для обработки!");
    EXPECT_FALSE(seen.hasIcon);
    EXPECT_TRUE(seen.hasOk);
    EXPECT_TRUE(seen.ownerDisabled);
    const int width = seen.box.right - seen.box.left;
    const int height = seen.box.bottom - seen.box.top;
    EXPECT_EQ(seen.box.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    EXPECT_EQ(seen.box.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    EXPECT_TRUE(IsWindowEnabled(form->hwnd()));
}

TEST_F(Messages, EscapeClosesTheInformationMessageAndLongTextsWrapAtHalfTheScreen) {
    CreateShown();
    win::SystemDialogs system(platform, 96);
    std::string longText;
    for (int i = 0; i < 60; ++i) longText += "слово word ";
    longText += "конец";
    Seen seen;
    ModalScript script({[&] {
        const HWND box = FindOwnedDialog(form->hwnd());
        if (!box) return false;
        seen = Inspect(box, form->hwnd());
        PostMessageW(GetDlgItem(box, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
        return true;
    }});
    system.ShowInformation(form->hwnd(), "quorvane", longText);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(seen.text, longText);
    EXPECT_LE(seen.textRect.width, GetSystemMetrics(SM_CXSCREEN) / 2);
    EXPECT_GT(seen.textRect.width, GetSystemMetrics(SM_CXSCREEN) / 4);
    // Several lines high.
    EXPECT_GT(seen.textRect.height, 3 * 11);
}

BOOL CALLBACK FindById(HWND hwnd, LPARAM data) {
    auto& found = *reinterpret_cast<std::pair<int, HWND>*>(data);
    if (GetDlgCtrlID(hwnd) == found.first) {
        found.second = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND Descendant(HWND parent, int id) {
    std::pair<int, HWND> found{id, nullptr};
    EnumChildWindows(parent, FindById, reinterpret_cast<LPARAM>(&found));
    return found.second;
}

TEST_F(Messages, TheOpenDialogPreviewsTheStartingPictureAndCancelKeepsTheName) {
    CreateShown();
    const std::string picture = temp / "orange.bmp";
    WriteBytes(picture, SolidBmp(120, 80, 0xFF8000));
    win::SystemDialogs system(platform, 96);
    std::string previewText;
    ModalScript script({[&] {
        const HWND box = FindOwnedDialog(form->hwnd());
        if (!box) return false;
        const HWND label = Descendant(box, 1101);
        if (!label || Text(label) == "(None)") return false;
        previewText = Text(label);
        PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        return true;
    }});
    std::string name = picture;
    EXPECT_FALSE(system.OpenFile(form->hwnd(), "All (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp;", true, name));
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(previewText, "(120x80)");
    EXPECT_EQ(name, picture);
}

// The file name box holds the focus: the edit inside the combo box, or the
// edit box of the older dialog form.
bool InFileNameBox(HWND box, HWND focus) {
    const HWND combo = GetDlgItem(box, cmb13);
    return focus && ((combo && IsChild(combo, focus)) || focus == GetDlgItem(box, edt1));
}

// The colour in the middle of the preview, drawn now.
COLORREF PreviewMiddle(HWND box) {
    const HWND image = Descendant(box, 1102);
    if (!image) return CLR_INVALID;
    RedrawWindow(image, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT r;
    GetClientRect(image, &r);
    const HDC dc = GetDC(image);
    const COLORREF middle = GetPixel(dc, r.right / 2, r.bottom / 2);
    ReleaseDC(image, dc);
    return middle;
}

struct OpenDialogCase {
    const char* name;
    HWND TfrmMain::*button;
    std::string (TfrmMain::*chosen)() const;
    const char* extension;
    std::vector<uint8_t> (*make)(uint32_t rgb);
    const char* previewText;
};

// Through the real window and the real dialogs, as a user does it: open the
// dialog, type a full path into whatever has the focus, press Enter. The
// second time the dialog starts at the file chosen before, previews it, and
// the typed path replaces that name.
TEST_F(Messages, BothOpenDialogsTakeATypedPathAndPreviewTheStartingPicture) {
    const OpenDialogCase cases[] = {
        {"picture", &TfrmMain::btnBrowseImage, &TfrmMain::PicturePath, "bmp",
         [](uint32_t rgb) { return SolidBmp(120, 80, rgb); }, "(120x80)"},
        {"icon", &TfrmMain::btnBrowseIcon, &TfrmMain::IconPath, "ico",
         [](uint32_t rgb) { return BuildIcon(IconSpec{32, 32, 32, false, rgb}); }, "(32x32)"},
    };
    win::SystemDialogs system(platform, 96);
    CreateShown(96, &system);
    for (const OpenDialogCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string first = temp / (std::string("first ") + c.name + "." + c.extension);
        const std::string second = temp / (std::string("second ") + c.name + "." + c.extension);
        WriteBytes(first, c.make(0x0000FF));
        WriteBytes(second, c.make(0x00FF00));
        for (const std::string& typed : {first, second}) {
            SCOPED_TRACE(typed);
            const bool again = typed == second;
            const std::wstring keys = win::Wide(typed);
            bool focusInName = false;
            std::string previewText;
            COLORREF previewMiddle = CLR_INVALID;
            ModalScript script({[&] {
                                    const HWND box = FindOwnedDialog(form->hwnd());
                                    const HWND label = box ? Descendant(box, 1101) : nullptr;
                                    if (!label || (again && Text(label) == "(None)")) return false;
                                    focusInName = InFileNameBox(box, GetFocus());
                                    previewText = Text(label);
                                    previewMiddle = PreviewMiddle(box);
                                    return true;
                                },
                                [&] {
                                    // Keys go where the keyboard sends them: to the focus.
                                    const HWND focus = GetFocus();
                                    for (wchar_t key : keys) PostMessageW(focus, WM_CHAR, key, 1);
                                    PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 1);
                                    return true;
                                },
                                [&] { return FindOwnedDialog(form->hwnd()) == nullptr; }});
            Click(form.get()->*c.button);
            // The last step sees the dialog gone on a tick after it closed.
            PumpUntil([&] { return script.Finished() || script.TimedOut(); }, form.get());
            EXPECT_TRUE(script.Finished());
            EXPECT_TRUE(focusInName);
            EXPECT_EQ((form.get()->*c.chosen)(), typed);
            if (again) {
                EXPECT_EQ(previewText, c.previewText);
                EXPECT_EQ(previewMiddle, RGB(0, 0, 255));
            } else {
                EXPECT_EQ(previewText, "(None)");
            }
        }
    }
}

TEST_F(Messages, TheFilterListIsSplitIntoEntries) {
    const std::wstring list = win::FilterList("All (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp;");
    EXPECT_EQ(list, std::wstring(L"All (*.jpg;*.jpeg;*.bmp)\0*.jpg;*.jpeg;*.bmp;\0\0", 46));
}

}  // namespace
}  // namespace quorvane::test
