// What the GUI tests share: dialogs that answer from a script and record
// what they were asked, a fixture holding a real main window over the real
// platform and a temporary folder, message pumping with a deadline, and a
// way to act inside a modal loop.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/Win32Platform.h"
#include "tests/win32/TempFolder.h"
#include "ui/Dialogs.h"
#include "ui/Unit_Main.h"

namespace quorvane::test {

class ScriptedDialogs : public win::Dialogs {
public:
    struct OpenCall {
        std::string filter;
        bool picturePreview = false;
        std::string startName;
    };
    struct Message {
        std::string caption;
        std::string text;
    };

    // Answers in order; nullopt cancels.
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<COLORREF>> colorAnswers;

    std::vector<OpenCall> openCalls;
    std::vector<COLORREF> colorStarts;
    std::vector<win::CustomColors> customStarts;
    std::vector<Message> errors;
    std::vector<Message> informations;

    bool OpenFile(HWND, const std::string& filter, bool picturePreview, std::string& fileName) override {
        openCalls.push_back({filter, picturePreview, fileName});
        if (openAnswers.empty()) {
            ADD_FAILURE() << "an open dialog nobody expected";
            return false;
        }
        const auto answer = openAnswers.front();
        openAnswers.pop_front();
        if (!answer) return false;
        fileName = *answer;
        return true;
    }

    // A confirmed colour also goes into the first custom slot, as a user
    // who adds it there would do.
    bool PickColor(HWND, COLORREF& color, win::CustomColors& customColors) override {
        colorStarts.push_back(color);
        customStarts.push_back(customColors);
        if (colorAnswers.empty()) {
            ADD_FAILURE() << "a colour dialog nobody expected";
            return false;
        }
        const auto answer = colorAnswers.front();
        colorAnswers.pop_front();
        if (!answer) return false;
        color = *answer;
        customColors[0] = *answer;
        return true;
    }

    void ShowError(HWND, const std::string& caption, const std::string& text) override {
        errors.push_back({caption, text});
    }
    void ShowInformation(HWND, const std::string& caption, const std::string& text) override {
        informations.push_back({caption, text});
    }
};

// Dispatches messages until `done` holds or `timeoutMs` passes; returns
// whether it held. Tab keys go through the form's own handling first.
bool PumpUntil(const std::function<bool()>& done, TfrmMain* form = nullptr, DWORD timeoutMs = 5000);
// Dispatches what is queued now; with a form, also its idle work to the end.
void Pump(TfrmMain* form = nullptr);

// Runs the steps one after the other from inside whatever message loop is
// running (a modal box's included), each on a timer tick, until each has
// returned true. Fails the test and gives up after `timeoutMs`.
class ModalScript {
public:
    explicit ModalScript(std::vector<std::function<bool()>> steps, DWORD timeoutMs = 10000);
    ~ModalScript();
    bool Finished() const { return next_ >= steps_.size(); }
    bool TimedOut() const { return timedOut_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);
    std::vector<std::function<bool()>> steps_;
    size_t next_ = 0;
    DWORD deadline_;
    bool timedOut_ = false;
    UINT_PTR timer_;
};

// The visible dialog-class window owned by `owner`, or null.
HWND FindOwnedDialog(HWND owner);

std::string Text(HWND hwnd);
LayoutRect RectOf(HWND hwnd);
std::string Describe(const LayoutRect& r);

// What a window paints, in a 32-bit picture that starts in the button-face
// colour, as the box's background is.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
        void* bits = nullptr;
        bitmap_ = quorvane::win::CreateTopDownDib(nullptr, width, height, 32, &bits);
        bits_ = static_cast<const uint32_t*>(bits);
        old_ = SelectObject(dc_, bitmap_.get());
        RECT all{0, 0, width, height};
        FillRect(dc_, &all, GetSysColorBrush(COLOR_BTNFACE));
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const uint32_t p = bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    std::vector<COLORREF> Pixels() const {
        std::vector<COLORREF> all;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) all.push_back(At(x, y));
        }
        return all;
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_;
    int height_;
    HDC dc_;
    win::UniqueBitmap bitmap_;
    const uint32_t* bits_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// The control's own painting of its client area.
std::unique_ptr<Canvas> Render(HWND control);
// What a control shows on the screen now, once what is due is painted.
std::vector<COLORREF> OnScreen(HWND control);

// System colours set for as long as it lives, then put back whatever the
// test's outcome, so the tests after it see the usual ones.
class SystemColours {
public:
    SystemColours(std::vector<int> elements, std::vector<COLORREF> values);
    ~SystemColours();
    SystemColours(const SystemColours&) = delete;
    SystemColours& operator=(const SystemColours&) = delete;

private:
    std::vector<int> elements_;
    std::vector<COLORREF> saved_;
};

// Records the messages sent to windows of this thread while it lives.
class SentMessages {
public:
    SentMessages();
    ~SentMessages();
    SentMessages(const SentMessages&) = delete;
    SentMessages& operator=(const SentMessages&) = delete;
    // Whether `message` reached `hwnd`, with `wParam` when one is given.
    bool Reached(HWND hwnd, UINT message, std::optional<WPARAM> wParam = std::nullopt) const;
    void Clear();

private:
    static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_;
};

// How many pixels of its caption a control's own painting leaves out: the
// caption drawn alone in the control's font, less the pixels the caption
// changes in the control's picture. 0 when the whole caption shows.
int CaptionPixelsCut(HWND control);

// The face and character set that a control's font finds on this system.
struct FaceFound {
    std::wstring name;
    int charSet = -1;
};
FaceFound FaceOf(HWND control);

// Whether the system's font list (the registry's Fonts key) names `file`.
bool SystemListsFontFile(const std::wstring& file);

// Writes bytes to a file, replacing it.
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// A 24-bit BMP of one colour (0xRRGGBB).
std::vector<uint8_t> SolidBmp(int width, int height, uint32_t rgb);

class MainWindowTest : public ::testing::Test {
protected:
    void TearDown() override;

    // Creates the main window (hidden) at `dpi`, named as if the program
    // were temp/quorvane.exe, so its icon library is temp/Icons. Its dialogs
    // are the scripted ones unless `through` names others. With
    // `monitorDpi`, it opens as on a monitor of that DPI instead.
    void Create(int dpi = 96, win::Dialogs* through = nullptr, int monitorDpi = 0);
    // Creates it and shows it without running FormShow.
    void CreateShown(int dpi = 96, win::Dialogs* through = nullptr);
    void SetClientSize(int width, int height);
    void Click(HWND button);

    TempFolder temp;
    win::Win32Platform platform;
    ScriptedDialogs dialogs;
    std::unique_ptr<TfrmMain> form;
};

}  // namespace quorvane::test
