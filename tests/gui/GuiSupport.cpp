#include "tests/gui/GuiSupport.h"

#include <algorithm>
#include <map>
#include <memory>

#include "platform/win32/Handle.h"
#include "platform/win32/WinText.h"
#include "ui/Window.h"

namespace quorvane::test {

void Pump(TfrmMain* form) {
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (form && form->PreTranslateMessage(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    } while (form && form->Idle());  // the idle time the program's loop gives
}

bool PumpUntil(const std::function<bool()>& done, TfrmMain* form, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        Pump(form);
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

namespace {

std::map<UINT_PTR, ModalScript*>& Scripts() {
    static std::map<UINT_PTR, ModalScript*> scripts;
    return scripts;
}

BOOL CALLBACK CloseOwnedWindow(HWND hwnd, LPARAM) {
    if (IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER)) PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
}

struct DialogSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchOwnedDialog(HWND hwnd, LPARAM data) {
    auto& search = *reinterpret_cast<DialogSearch*>(data);
    wchar_t name[32] = {};
    GetClassNameW(hwnd, name, 32);
    if (IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == search.owner && std::wstring(name) == L"#32770") {
        search.found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

ModalScript::ModalScript(std::vector<std::function<bool()>> steps, DWORD timeoutMs)
    : steps_(std::move(steps)), deadline_(GetTickCount() + timeoutMs), timer_(SetTimer(nullptr, 0, 20, Tick)) {
    Scripts()[timer_] = this;
}

ModalScript::~ModalScript() {
    KillTimer(nullptr, timer_);
    Scripts().erase(timer_);
}

void CALLBACK ModalScript::Tick(HWND, UINT, UINT_PTR id, DWORD) {
    const auto it = Scripts().find(id);
    if (it == Scripts().end()) return;
    ModalScript& script = *it->second;
    if (script.Finished() || script.timedOut_) return;
    if (static_cast<LONG>(GetTickCount() - script.deadline_) > 0) {
        script.timedOut_ = true;
        ADD_FAILURE() << "a modal step did not complete in time";
        // Whatever is open is closed, so the test run goes on.
        EnumThreadWindows(GetCurrentThreadId(), CloseOwnedWindow, 0);
        return;
    }
    if (script.steps_[script.next_]()) ++script.next_;
}

HWND FindOwnedDialog(HWND owner) {
    DialogSearch search{owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string Text(HWND hwnd) { return win::WindowText(hwnd); }

LayoutRect RectOf(HWND hwnd) { return win::RectInParent(hwnd); }

std::string Describe(const LayoutRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.width) + "x" +
           std::to_string(r.height);
}

std::unique_ptr<Canvas> Render(HWND control) {
    RECT r;
    GetClientRect(control, &r);
    auto canvas = std::make_unique<Canvas>(r.right, r.bottom);
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->dc()), PRF_CLIENT | PRF_ERASEBKGND);
    return canvas;
}

std::vector<COLORREF> OnScreen(HWND control) {
    RedrawWindow(GetAncestor(control, GA_ROOT), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r;
    GetClientRect(control, &r);
    Canvas canvas(r.right, r.bottom);
    const win::WindowDc dc(control);
    BitBlt(canvas.dc(), 0, 0, r.right, r.bottom, dc.get(), 0, 0, SRCCOPY);
    return canvas.Pixels();
}

SystemColours::SystemColours(std::vector<int> elements, std::vector<COLORREF> values)
    : elements_(std::move(elements)) {
    for (int element : elements_) saved_.push_back(GetSysColor(element));
    SetSysColors(static_cast<int>(elements_.size()), elements_.data(), values.data());
}

SystemColours::~SystemColours() {
    SetSysColors(static_cast<int>(elements_.size()), elements_.data(), saved_.data());
}

namespace {

std::vector<CWPSTRUCT>& SentSoFar() {
    static std::vector<CWPSTRUCT> sent;
    return sent;
}

}  // namespace

SentMessages::SentMessages() : hook_(SetWindowsHookExW(WH_CALLWNDPROC, Record, nullptr, GetCurrentThreadId())) {
    SentSoFar().clear();
}

SentMessages::~SentMessages() { UnhookWindowsHookEx(hook_); }

bool SentMessages::Reached(HWND hwnd, UINT message, std::optional<WPARAM> wParam) const {
    return std::any_of(SentSoFar().begin(), SentSoFar().end(), [&](const CWPSTRUCT& m) {
        return m.hwnd == hwnd && m.message == message && (!wParam || m.wParam == *wParam);
    });
}

void SentMessages::Clear() { SentSoFar().clear(); }

LRESULT CALLBACK SentMessages::Record(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) SentSoFar().push_back(*reinterpret_cast<const CWPSTRUCT*>(lParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

namespace {

int PixelsThatDiffer(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    int differ = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) differ += a[i] != b[i];
    return differ;
}

HFONT FontOf(HWND control) { return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)); }

}  // namespace

int CaptionPixelsCut(HWND control) {
    const std::wstring caption = win::Wide(Text(control));
    // Blanks rather than no text: a check box without text places its box
    // differently, and an underline stays under the blanks.
    const std::wstring blanks(caption.size(), L' ');
    const std::vector<COLORREF> withCaption = Render(control)->Pixels();
    SetWindowTextW(control, blanks.c_str());
    const std::vector<COLORREF> withBlanks = Render(control)->Pixels();
    SetWindowTextW(control, caption.c_str());

    RECT size{0, 0, 0, 0};
    {
        const win::WindowDc screen(nullptr);
        win::ScopedSelect select(screen.get(), FontOf(control));
        DrawTextW(screen.get(), caption.c_str(), -1, &size, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    }
    // Drawn alone with room around it for any ink beyond the advance widths.
    auto alone = [&](const std::wstring& text) {
        Canvas canvas(size.right + 16, size.bottom + 4);
        RECT at{4, 2, size.right + 12, size.bottom + 2};
        win::ScopedSelect select(canvas.dc(), FontOf(control));
        SetBkMode(canvas.dc(), TRANSPARENT);
        SetTextColor(canvas.dc(), GetSysColor(COLOR_BTNTEXT));
        DrawTextW(canvas.dc(), text.c_str(), -1, &at, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
        return canvas.Pixels();
    };
    return PixelsThatDiffer(alone(caption), alone(blanks)) - PixelsThatDiffer(withCaption, withBlanks);
}

FaceFound FaceOf(HWND control) {
    const win::WindowDc dc(control);
    win::ScopedSelect select(dc.get(), FontOf(control));
    wchar_t name[LF_FACESIZE] = L"";
    GetTextFaceW(dc.get(), LF_FACESIZE, name);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    return {name, metrics.tmCharSet};
}

bool SystemListsFontFile(const std::wstring& file) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", 0, KEY_READ,
                      &key) != ERROR_SUCCESS) {
        return false;
    }
    bool listed = false;
    for (DWORD i = 0; !listed; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        wchar_t data[MAX_PATH] = L"";
        DWORD dataBytes = sizeof data - sizeof data[0];
        DWORD type = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataBytes) !=
            ERROR_SUCCESS) {
            break;
        }
        const std::wstring value(data);
        // A bare file name or a full path ending in it.
        listed = type == REG_SZ && value.size() >= file.size() &&
                 lstrcmpiW(value.c_str() + value.size() - file.size(), file.c_str()) == 0;
    }
    RegCloseKey(key);
    return listed;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    WriteText(path, std::string(bytes.begin(), bytes.end()));
}

std::vector<uint8_t> SolidBmp(int width, int height, uint32_t rgb) {
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) / 4 * 4;
    const uint32_t pixels = stride * static_cast<uint32_t>(height);
    std::vector<uint8_t> b;
    auto put16 = [&b](uint32_t v) {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto put32 = [&put16](uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    b.push_back('B');
    b.push_back('M');
    put32(54 + pixels);
    put32(0);
    put32(54);
    put32(40);
    put32(static_cast<uint32_t>(width));
    put32(static_cast<uint32_t>(height));
    put16(1);
    put16(24);
    put32(0);
    put32(pixels);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            b.push_back(static_cast<uint8_t>(rgb));
            b.push_back(static_cast<uint8_t>(rgb >> 8));
            b.push_back(static_cast<uint8_t>(rgb >> 16));
        }
        for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < stride; ++pad) b.push_back(0);
    }
    return b;
}

void MainWindowTest::TearDown() {
    form.reset();
    Pump();
}

void MainWindowTest::Create(int dpi, win::Dialogs* through, int monitorDpi) {
    TfrmMain::Options options;
    options.dpi = monitorDpi > 0 ? 0 : dpi;
    options.monitorDpi = monitorDpi;
    options.executablePath = temp / "quorvane.exe";
    options.quitOnClose = false;
    form = std::make_unique<TfrmMain>(GetModuleHandleW(nullptr), platform, through ? *through : dialogs, options);
}

void MainWindowTest::CreateShown(int dpi, win::Dialogs* through) {
    Create(dpi, through);
    ShowWindow(form->hwnd(), SW_SHOW);
    UpdateWindow(form->hwnd());
    Pump(form.get());
}

void MainWindowTest::SetClientSize(int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(form->hwnd(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(form->hwnd(), GWL_EXSTYLE)));
    SetWindowPos(form->hwnd(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(form->hwnd(), &client);
    // A window manager may adjust the frame; correct once by what is left.
    if (client.right != width || client.bottom != height) {
        RECT w;
        GetWindowRect(form->hwnd(), &w);
        SetWindowPos(form->hwnd(), nullptr, 0, 0, w.right - w.left + width - client.right,
                     w.bottom - w.top + height - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Pump(form.get());
}

void MainWindowTest::Click(HWND button) {
    SendMessageW(button, BM_CLICK, 0, 0);
    Pump(form.get());
}

}  // namespace quorvane::test
