// What the GUI tests share: dialogs that answer from a script and record
// what they were asked, a fixture holding a real main window over the real
// platform and a temporary folder, message pumping with a deadline, and a
// way to act inside a modal loop.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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
// Dispatches what is queued now.
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

// Writes bytes to a file, replacing it.
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// A 24-bit BMP of one colour (0xRRGGBB).
std::vector<uint8_t> SolidBmp(int width, int height, uint32_t rgb);

class MainWindowTest : public ::testing::Test {
protected:
    void TearDown() override;

    // Creates the main window (hidden) at `dpi`, named as if the program
    // were temp/quorvane.exe, so its icon library is temp/Icons. Its dialogs
    // are the scripted ones unless `through` names others.
    void Create(int dpi = 96, win::Dialogs* through = nullptr);
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
