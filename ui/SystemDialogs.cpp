#include "ui/SystemDialogs.h"

#include <commdlg.h>
#include <dlgs.h>

#include <memory>
#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/WinText.h"
#include "ui/DialogTemplate.h"
#include "ui/PictureBox.h"
#include "ui/PictureFit.h"
#include "ui/Window.h"

namespace quorvane::win {
namespace {

constexpr WORD kStaticClass = 0x0082;
constexpr int kPreviewLabelId = 1101;
constexpr int kPreviewImageId = 1102;
constexpr DWORD kFileBufferChars = 32768;
// Posted to the preview's child dialog once the open dialog is set up.
constexpr UINT kFocusFileName = WM_APP + 1;

// Releases a block from GlobalAlloc.
struct GlobalTraits {
    using Type = HGLOBAL;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { GlobalFree(h); }
};
using UniqueGlobal = UniqueHandle<GlobalTraits>;

// The preview beside the standard controls of the open dialog: the size of
// the selected picture above it, "(None)" when there is no picture.
struct Preview {
    Platform& platform;
    int dpi;
    std::unique_ptr<Graphic> picture;
    UniqueFont font;
    HWND label = nullptr;
    HWND image = nullptr;
};

void LayOutPreview(HWND child) {
    auto* preview = reinterpret_cast<Preview*>(GetWindowLongPtrW(child, DWLP_USER));
    const HWND standard = GetDlgItem(child, stc32);
    if (!preview || !preview->image || !standard) return;
    RECT client;
    GetClientRect(child, &client);
    const LayoutRect area = RectInParent(standard);
    const int margin = Scale(8, preview->dpi);
    const int left = area.left + area.width + margin;
    const int top = area.top + Scale(16, preview->dpi);
    const int labelHeight = Scale(16, preview->dpi);
    const int width = client.right - left - margin;
    Place(preview->label, {left, top, width, labelHeight});
    Place(preview->image, {left, top + labelHeight, width, area.top + area.height - top - labelHeight - margin});
}

void UpdatePreview(HWND child) {
    auto* preview = reinterpret_cast<Preview*>(GetWindowLongPtrW(child, DWLP_USER));
    if (!preview) return;
    std::wstring path(kFileBufferChars, L'\0');
    const LRESULT length = SendMessageW(GetParent(child), CDM_GETFILEPATH, kFileBufferChars,
                                        reinterpret_cast<LPARAM>(path.data()));
    preview->picture.reset();
    if (length > 1) {
        path.resize(static_cast<size_t>(length) - 1);
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            try {
                preview->picture = LoadPictureFile(preview->platform, Narrow(path), 32, preview->dpi);
            } catch (const std::exception&) {
                // Not a picture: the preview stays empty.
            }
        }
    }
    std::wstring caption = L"(None)";
    if (preview->picture) {
        caption = L"(" + std::to_wstring(preview->picture->Width()) + L"x" +
                  std::to_wstring(preview->picture->Height()) + L")";
    }
    SetWindowTextW(preview->label, caption.c_str());
    InvalidateRect(preview->image, nullptr, TRUE);
}

// Gives the focus to the file name box: a combo box, or an edit box in the
// dialog's older form.
void FocusFileName(HWND child) {
    const HWND dialog = GetParent(child);
    HWND name = GetDlgItem(dialog, cmb13);
    if (!name) name = GetDlgItem(dialog, edt1);
    if (name) SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(name), TRUE);
}

void DrawPreview(const DRAWITEMSTRUCT& item, Preview& preview) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(item.hDC, const_cast<RECT*>(&item.rcItem), EDGE_SUNKEN, BF_RECT);
    if (!preview.picture) return;
    RECT inner = item.rcItem;
    InflateRect(&inner, -2, -2);
    const LayoutRect at = FitPicture(preview.picture->Width(), preview.picture->Height(), inner.right - inner.left,
                                     inner.bottom - inner.top);
    if (at.width <= 0 || at.height <= 0) return;
    const RECT target{inner.left + at.left, inner.top + at.top, inner.left + at.left + at.width,
                      inner.top + at.top + at.height};
    preview.picture->Draw(item.hDC, target);
}

UINT_PTR CALLBACK PreviewHook(HWND child, UINT message, WPARAM, LPARAM lParam) {
    try {
        switch (message) {
        case WM_INITDIALOG: {
            auto* preview = reinterpret_cast<Preview*>(reinterpret_cast<OPENFILENAMEW*>(lParam)->lCustData);
            SetWindowLongPtrW(child, DWLP_USER, reinterpret_cast<LONG_PTR>(preview));
            preview->font = CreateProgramFont(preview->dpi);
            preview->label = CreateChild(L"STATIC", L"(None)", WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 0, {}, child,
                                         kPreviewLabelId);
            preview->image = CreateChild(L"STATIC", L"", WS_VISIBLE | SS_OWNERDRAW, 0, {}, child, kPreviewImageId);
            SetFont(preview->label, preview->font.get());
            // TRUE would have the dialog manager give the focus to this child's
            // first control, the preview's label, where typed letters act as
            // mnemonics and a typed path chooses nothing. The file name box
            // gets the focus instead, after CDN_INITDONE.
            return FALSE;
        }
        case WM_SIZE:
            LayOutPreview(child);
            return 0;
        case kFocusFileName:
            FocusFileName(child);
            return TRUE;
        case WM_DRAWITEM: {
            auto* preview = reinterpret_cast<Preview*>(GetWindowLongPtrW(child, DWLP_USER));
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (preview && item.CtlID == kPreviewImageId) {
                DrawPreview(item, *preview);
                return TRUE;
            }
            return 0;
        }
        case WM_NOTIFY: {
            const auto* notify = reinterpret_cast<const OFNOTIFYW*>(lParam);
            if (notify->hdr.code == CDN_INITDONE) {
                LayOutPreview(child);
                UpdatePreview(child);
                // Posted, so it runs after the dialog's own set-up whatever
                // that focuses: Wine focuses the file name box before it
                // creates this child; Windows does its part in its own order.
                PostMessageW(child, kFocusFileName, 0, 0);
            } else if (notify->hdr.code == CDN_SELCHANGE || notify->hdr.code == CDN_FOLDERCHANGE) {
                UpdatePreview(child);
            }
            return 0;
        }
        default:
            return 0;
        }
    } catch (...) {
        // The system's dialog code must never see an exception.
        return 0;
    }
}

// The information message's dialog.
struct Information {
    std::wstring text;
    int dpi;
    UniqueFont font;
};

void BuildInformation(HWND dialog, Information& info) {
    info.font = CreateProgramFont(info.dpi);
    SetFont(dialog, info.font.get());
    // Spacing in dialog units of the font, as message dialogs are laid out.
    const WindowDc dialogDc(dialog);
    const HDC dc = dialogDc.get();
    TEXTMETRICW metrics{};
    SIZE alphabet{};
    RECT textRect{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    {
        ScopedSelect select(dc, info.font.get());
        GetTextMetricsW(dc, &metrics);
        const wchar_t letters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        GetTextExtentPoint32W(dc, letters, 52, &alphabet);
        DrawTextW(dc, info.text.c_str(), -1, &textRect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    }
    const int unitX = (alphabet.cx / 26 + 1) / 2;
    const int unitY = metrics.tmHeight;
    const int horzMargin = MulDiv(8, unitX, 4);
    const int vertMargin = MulDiv(8, unitY, 8);
    const int vertSpacing = MulDiv(10, unitY, 8);
    const int buttonWidth = MulDiv(50, unitX, 4);
    const int buttonHeight = MulDiv(14, unitY, 8);

    const int textWidth = textRect.right - textRect.left;
    const int textHeight = textRect.bottom - textRect.top;
    const int clientWidth = (textWidth > buttonWidth ? textWidth : buttonWidth) + 2 * horzMargin;
    const int clientHeight = vertMargin + textHeight + vertSpacing + buttonHeight + vertMargin;

    const HWND label = CreateChild(L"STATIC", info.text, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0,
                                   {horzMargin, vertMargin, textWidth, textHeight}, dialog, 0xFFFF);
    const HWND ok = CreateChild(L"BUTTON", L"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0,
                                {(clientWidth - buttonWidth) / 2, vertMargin + textHeight + vertSpacing, buttonWidth,
                                 buttonHeight},
                                dialog, IDOK);
    SetFont(label, info.font.get());
    SetFont(ok, info.font.get());

    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    SetFocus(ok);
}

INT_PTR CALLBACK InformationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_INITDIALOG:
            BuildInformation(dialog, *reinterpret_cast<Information*>(lParam));
            return FALSE;  // the focus is set
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
        }
    } catch (...) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
}

}  // namespace

std::wstring FilterList(const std::string& filter) {
    std::wstring list = Wide(filter);
    for (wchar_t& c : list) {
        if (c == L'|') c = L'\0';
    }
    list.push_back(L'\0');
    list.push_back(L'\0');
    return list;
}

bool SystemDialogs::OpenFile(HWND owner, const std::string& filter, bool picturePreview, std::string& fileName) {
    const std::wstring filterList = FilterList(filter);
    std::wstring buffer = Wide(fileName);
    buffer.resize(kFileBufferChars, L'\0');

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filterList.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = kFileBufferChars;
    ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;

    Preview preview{platform_, dpi_, nullptr, UniqueFont(), nullptr, nullptr};
    UniqueGlobal templateBlock;
    if (picturePreview) {
        // The standard controls take the stc32 area; the room to its right
        // holds the preview.
        DialogTemplate layout(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL | DS_SETFONT, 0, L"",
                              111, 1);
        layout.AddItem(kStaticClass, L"", WS_CHILD, 0, 0, 1, 1, stc32);
        templateBlock.reset(GlobalAlloc(GMEM_FIXED, layout.SizeInBytes()));
        if (templateBlock) {
            CopyMemory(templateBlock.get(), layout.get(), layout.SizeInBytes());
            ofn.hInstance = reinterpret_cast<HINSTANCE>(templateBlock.get());
            ofn.Flags |= OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE;
            ofn.lpfnHook = PreviewHook;
            ofn.lCustData = reinterpret_cast<LPARAM>(&preview);
        }
    }
    if (!GetOpenFileNameW(&ofn)) return false;
    fileName = Narrow(buffer.c_str());
    return true;
}

bool SystemDialogs::PickColor(HWND owner, COLORREF& color, CustomColors& customColors) {
    // The dialog edits the custom colours in place; they are taken over
    // only when the user confirms.
    CustomColors custom = customColors;
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = color;
    cc.lpCustColors = custom.data();
    cc.Flags = CC_RGBINIT;
    if (!ChooseColorW(&cc)) return false;
    color = cc.rgbResult;
    customColors = custom;
    return true;
}

void SystemDialogs::ShowError(HWND owner, const std::string& caption, const std::string& text) {
    MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), MB_ICONSTOP | MB_OK);
}

void SystemDialogs::ShowInformation(HWND owner, const std::string& caption, const std::string& text) {
    ShowInformationMessage(owner, caption, text, dpi_);
}

void ShowInformationMessage(HWND owner, const std::string& caption, const std::string& text, int dpi) {
    const DialogTemplate frame(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, WS_EX_DLGMODALFRAME,
                               Wide(caption));
    Information info{Wide(text), dpi, UniqueFont()};
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), frame.get(), owner, InformationProc,
                            reinterpret_cast<LPARAM>(&info));
}

}  // namespace quorvane::win
