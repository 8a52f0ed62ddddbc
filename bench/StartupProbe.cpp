// Looks at a running quorvane.exe from outside, as scripts/stress-startup.sh
// needs it: waits for its main window, waits until the program is idle,
// and checks that the tree holds the drive roots and that the path box
// names the first fixed drive. Then closes the program.
//
//   startup_probe [seconds to wait for the window]
//
// Prints one line; exits 0 when the start-up came up whole, 1 when not,
// 2 when no window came at all.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

struct Found {
    DWORD process = 0;
    HWND form = nullptr;
    HWND tree = nullptr;
    HWND path = nullptr;
};

// The path box's control id, idLblDir in ui/Unit_Main.cpp.
constexpr int kPathLabelId = 103;

BOOL CALLBACK FindForm(HWND window, LPARAM param) {
    wchar_t name[64];
    if (GetClassNameW(window, name, 64) && std::wstring(name) == L"TfrmMain" && IsWindowVisible(window)) {
        auto& found = *reinterpret_cast<Found*>(param);
        found.form = window;
        GetWindowThreadProcessId(window, &found.process);
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindControls(HWND window, LPARAM param) {
    auto& found = *reinterpret_cast<Found*>(param);
    wchar_t name[64];
    if (GetClassNameW(window, name, 64) && std::wstring(name) == WC_TREEVIEWW) found.tree = window;
    if (GetDlgCtrlID(window) == kPathLabelId) found.path = window;
    return TRUE;
}

std::wstring Text(HWND window) {
    wchar_t text[MAX_PATH + 1] = L"";
    // Sent across processes: the system copies the text back.
    SendMessageTimeoutW(window, WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000, nullptr);
    return text;
}

std::wstring FirstFixedRoot() {
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i))) continue;
        const std::wstring root{static_cast<wchar_t>(L'A' + i), L':', L'\\'};
        if (GetDriveTypeW(root.c_str()) == DRIVE_FIXED) return root;
    }
    return L"";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int seconds = argc > 1 ? _wtoi(argv[1]) : 60;
    Found found;
    for (int waited = 0; !found.form && waited < seconds * 10; ++waited) {
        EnumWindows(FindForm, reinterpret_cast<LPARAM>(&found));
        if (!found.form) Sleep(100);
    }
    if (!found.form) {
        std::printf("no main window within %d s\n", seconds);
        return 2;
    }
    // Idle: start-up has run and the first paint is done.
    if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, found.process)) {
        WaitForInputIdle(process, 30000);
        CloseHandle(process);
    }
    EnumChildWindows(found.form, FindControls, reinterpret_cast<LPARAM>(&found));

    DWORD_PTR count = 0;
    if (found.tree) {
        SendMessageTimeoutW(found.tree, TVM_GETCOUNT, 0, 0, SMTO_BLOCK, 5000, &count);
    }
    const std::wstring path = found.path ? Text(found.path) : L"(no path box)";
    const std::wstring expected = FirstFixedRoot();
    const bool whole = count > 0 && !expected.empty() && path == expected;
    std::printf("%s: %lu tree items, path box \"%ls\", first fixed drive \"%ls\"\n", whole ? "ok" : "FAILED",
                static_cast<unsigned long>(count), path.c_str(), expected.c_str());
    PostMessageW(found.form, WM_CLOSE, 0, 0);
    return whole ? 0 : 1;
}
