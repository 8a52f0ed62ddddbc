// The shipped quorvane.exe as Windows sees it: the version resource that
// the file's Properties show, the manifest as the loader reads it, and the
// program starting from wherever the package was unpacked.
//   quorvane_release_file_tests PATH-TO-QUORVANE.EXE
// The manifest is read as Windows 7 and later read it (QueryActCtxSettingsW),
// so this test alone asks for their declarations.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/WinText.h"

namespace quorvane {
namespace {

std::wstring g_exe;

struct VersionInfo {
    explicit VersionInfo(const std::wstring& path) {
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        if (size == 0) return;
        bytes.resize(size);
        if (!GetFileVersionInfoW(path.c_str(), 0, size, bytes.data())) bytes.clear();
    }
    const void* Query(const std::wstring& block, UINT* length) const {
        void* value = nullptr;
        *length = 0;
        if (!VerQueryValueW(bytes.data(), block.c_str(), &value, length)) return nullptr;
        return value;
    }
    std::vector<BYTE> bytes;
};

TEST(VersionResource, FixedPartHoldsTheVersionOfAnApplication) {
    VersionInfo info(g_exe);
    ASSERT_FALSE(info.bytes.empty()) << "no version resource";
    UINT length = 0;
    auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(info.Query(L"\\", &length));
    ASSERT_NE(fixed, nullptr);
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, VS_FFI_SIGNATURE);
    // 0.3.0.0: major and minor in the high word, build and revision in the low.
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(3, 0));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(3, 0));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(0, 0));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "marked debug, pre-release or patched";
}

TEST(VersionResource, PropertiesShowTheProductTextsInRussian) {
    VersionInfo info(g_exe);
    ASSERT_FALSE(info.bytes.empty()) << "no version resource";
    UINT length = 0;
    auto* translation = static_cast<const WORD*>(info.Query(L"\\VarFileInfo\\Translation", &length));
    ASSERT_NE(translation, nullptr);
    ASSERT_EQ(length, 2 * sizeof(WORD)) << "one language expected";
    EXPECT_EQ(translation[0], 0x0419);  // Russian
    EXPECT_EQ(translation[1], 1200);    // UTF-16

    const struct {
        const wchar_t* name;
        const char* text;
    } cases[] = {
        {L"CompanyName", "Brantwick"},
        {L"ProductName", "Quorvane"},
        {L"FileDescription", "Quorvane: оформление папок"},
        {L"LegalCopyright", "© 2006 Brantwick"},
        {L"FileVersion", "0.3.0.0"},
        {L"ProductVersion", "0.3.0.0"},
        {L"OriginalFilename", "quorvane.exe"},
        {L"InternalName", "quorvane"},
    };
    for (const auto& c : cases) {
        std::wstring block = std::wstring(L"\\StringFileInfo\\041904B0\\") + c.name;
        auto* value = static_cast<const wchar_t*>(info.Query(block, &length));
        ASSERT_NE(value, nullptr) << win::Narrow(c.name) << " missing";
        EXPECT_EQ(win::Narrow(value), c.text) << win::Narrow(c.name);
    }
}

// The manifest as the loader parses it: an activation context made from the
// file's own manifest resource, queried the way the system queries it.
class Manifest : public ::testing::Test {
protected:
    void SetUp() override {
        ACTCTXW request{};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = g_exe.c_str();
        request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
        context = CreateActCtxW(&request);
        ASSERT_NE(context, INVALID_HANDLE_VALUE) << "manifest not accepted, error " << GetLastError();
    }
    void TearDown() override {
        if (context != INVALID_HANDLE_VALUE) ReleaseActCtx(context);
    }
    std::vector<BYTE> Query(ULONG infoClass, const void* subject = nullptr) const {
        SIZE_T needed = 0;
        QueryActCtxW(0, context, const_cast<void*>(subject), infoClass, nullptr, 0, &needed);
        std::vector<BYTE> buffer(needed);
        if (needed == 0 || !QueryActCtxW(0, context, const_cast<void*>(subject), infoClass, buffer.data(),
                                         buffer.size(), &needed))
            buffer.clear();
        return buffer;
    }
    HANDLE context = INVALID_HANDLE_VALUE;
};

std::string GuidText(const GUID& id) {
    wchar_t text[40] = {};
    StringFromGUID2(id, text, 40);
    return win::Narrow(text);
}

// The supportedOS entries of a compatibility query. Windows 10 (from 1903)
// and Wine give each element a 64-bit MaxVersionTested after its type,
// which the mingw-w64 headers do not know yet; both layouts are read.
std::set<std::string> SupportedOs(const std::vector<BYTE>& buffer) {
    std::set<std::string> os;
    DWORD count = 0;
    if (buffer.size() < sizeof count) return os;
    std::memcpy(&count, buffer.data(), sizeof count);
    size_t header = 0;
    size_t stride = 0;
    if (buffer.size() == sizeof(DWORD) + count * sizeof(COMPATIBILITY_CONTEXT_ELEMENT)) {
        header = sizeof(DWORD);
        stride = sizeof(COMPATIBILITY_CONTEXT_ELEMENT);
    } else if (buffer.size() == 8 + count * 32) {
        header = 8;
        stride = 32;
    } else {
        ADD_FAILURE() << "compatibility information of " << buffer.size() << " bytes for " << count
                      << " elements";
        return os;
    }
    for (DWORD i = 0; i < count; ++i) {
        const BYTE* element = buffer.data() + header + i * stride;
        GUID id;
        DWORD type = 0;
        std::memcpy(&id, element, sizeof id);
        std::memcpy(&type, element + sizeof id, sizeof type);
        if (type == ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) os.insert(GuidText(id));
    }
    return os;
}

TEST_F(Manifest, NamesVistaTo11AsSupported) {
    std::set<std::string> os = SupportedOs(Query(CompatibilityInformationInActivationContext));
    EXPECT_EQ(os, (std::set<std::string>{
                      "{E2011457-1546-43C5-A5FE-008DEEE3D3F0}",  // Vista
                      "{35138B9A-5D96-4FBD-8E2D-A2440225F93A}",  // 7
                      "{4A2F28E3-53B9-4441-BA9C-D69D4A4A6E38}",  // 8
                      "{1F676C76-80E1-4239-95BB-83D0F6D0DA78}",  // 8.1
                      "{8E0F7A12-BFB3-4FE8-B9A5-48FD50A15A9A}",  // 10 and 11
                  }));
}

TEST_F(Manifest, NamesTheProgramAtItsVersionNeedsCommonControls6RunsAsInvokerAndIsDpiAware) {
    std::vector<BYTE> detail = Query(ActivationContextDetailedInformation);
    ASSERT_FALSE(detail.empty());
    DWORD count = reinterpret_cast<const ACTIVATION_CONTEXT_DETAILED_INFORMATION*>(detail.data())->ulAssemblyCount;
    std::vector<std::string> identities;
    for (DWORD index = 1; index <= count; ++index) {
        std::vector<BYTE> assembly = Query(AssemblyDetailedInformationInActivationContext, &index);
        if (assembly.empty()) continue;
        auto* info = reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(assembly.data());
        if (info->lpAssemblyEncodedAssemblyIdentity)
            identities.push_back(win::Narrow(info->lpAssemblyEncodedAssemblyIdentity));
    }
    // The program itself at its version, and version 6 of the common
    // controls (the version the loader resolved, so 6.0.x).
    const struct {
        const char* name;
        const char* version;
    } assemblies[] = {
        {"Brantwick.Quorvane,", "version=\"0.3.0.0\""},
        {"Microsoft.Windows.Common-Controls,", "version=\"6.0."},
    };
    for (const auto& a : assemblies) {
        bool found = false;
        for (const std::string& identity : identities)
            found |= identity.rfind(a.name, 0) == 0 && identity.find(a.version) != std::string::npos;
        EXPECT_TRUE(found) << a.name << " " << a.version << " not in " << ::testing::PrintToString(identities);
    }

    // The trust and the settings are read in the forms XP accepts.
    std::vector<BYTE> level = Query(RunlevelInformationInActivationContext);
    ASSERT_EQ(level.size(), sizeof(ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION));
    const auto* runLevel = reinterpret_cast<const ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION*>(level.data());
    EXPECT_EQ(runLevel->RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(runLevel->UiAccess, 0u);
    wchar_t value[32] = {};
    SIZE_T written = 0;
    ASSERT_TRUE(QueryActCtxSettingsW(0, context, nullptr, L"dpiAware", value, 32, &written));
    EXPECT_EQ(std::wstring(value), L"true");
    // Per monitor from Windows 10 on, in the namespace that element has.
    ASSERT_TRUE(QueryActCtxSettingsW(0, context, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                                     L"dpiAwareness", value, 32, &written));
    EXPECT_EQ(std::wstring(value), L"PerMonitorV2, PerMonitor");
}

BOOL CALLBACK FindMainWindow(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<std::pair<DWORD, HWND>*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (process == found->first && std::wstring(name) == L"TfrmMain" && IsWindowVisible(window)) {
        found->second = window;
        return FALSE;
    }
    return TRUE;
}

TEST(UnpackedProgram, StartsWhereItIsAndClosesCleanly) {
    std::wstring folder = g_exe.substr(0, g_exe.find_last_of(L'\\') + 1);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(g_exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                               &startup, &process))
        << "error " << GetLastError();
    win::UniqueFile processOwner(process.hProcess);
    win::UniqueFile threadOwner(process.hThread);

    std::pair<DWORD, HWND> found{process.dwProcessId, nullptr};
    for (int i = 0; i < 600 && !found.second; ++i) {
        if (WaitForSingleObject(process.hProcess, 100) == WAIT_OBJECT_0) break;
        EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&found));
    }
    if (!found.second) TerminateProcess(process.hProcess, 1);
    ASSERT_NE(found.second, nullptr) << "no main window appeared";

    PostMessageW(found.second, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace
}  // namespace quorvane

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-QUORVANE.EXE\n", argv[0]);
        return 2;
    }
    std::wstring given = quorvane::win::Wide(argv[1]);
    wchar_t full[MAX_PATH] = {};
    if (GetFullPathNameW(given.c_str(), MAX_PATH, full, nullptr) == 0) return 2;
    quorvane::g_exe = full;
    return RUN_ALL_TESTS();
}
