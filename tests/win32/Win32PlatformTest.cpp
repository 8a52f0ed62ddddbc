// The real platform against a real file system: profile semantics,
// attributes as the system sees them, listing and whole-file access.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>

#include <gtest/gtest.h>

#include "folder_settings/SettingsFile.h"
#include "platform/Errors.h"
#include "platform/ProfileFile.h"
#include "platform/win32/Handle.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WinText.h"
#include "tests/win32/TempFolder.h"

namespace quorvane {
namespace {

using test::ReadText;
using test::TempFolder;
using test::WriteText;

DWORD AttributesOf(const std::string& path) { return GetFileAttributesW(win::Wide(path).c_str()); }

class ProfileOnDisk : public ::testing::Test {
protected:
    win::Win32Platform platform;
    TempFolder dir;
    std::string ini = dir / "desktop.ini";
};

TEST_F(ProfileOnDisk, MissingFileGivesDefaultsAndIsNeverCreatedByReadsRemovesOrFlushes) {
    {
        ProfileFile file(platform, ini);
        EXPECT_EQ(file.ReadValue(settings::kIconAreaSection, settings::kTextColorKey, "0x00000000"), "0x00000000");
        file.RemoveKey(settings::kIconAreaSection, settings::kTextColorKey);
    }  // released: flushed
    EXPECT_EQ(AttributesOf(ini), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ProfileOnDisk, FirstWriteCreatesFileAndSectionAndNamesMatchWithoutCase) {
    {
        ProfileFile file(platform, ini);
        file.WriteValue(settings::kIconAreaSection, settings::kTextColorKey, "0x00FFFFFF");
        file.WriteNumber(settings::kClassInfoSection, settings::kIconIndexKey, 0);
        EXPECT_EQ(file.ReadValue("{be098140-a513-11d0-a3a4-00c04fd706ec}", "iconarea_text", ""), "0x00FFFFFF");
    }
    EXPECT_EQ(ReadText(ini),
              "[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\nIconArea_Text=0x00FFFFFF\r\n"
              "[.ShellClassInfo]\r\nIconIndex=0\r\n");
}

TEST_F(ProfileOnDisk, ForeignLinesStayByteForByteThroughWritesAndRemoves) {
    const std::string foreign =
        "; written by hand\r\n[.ShellClassInfo]\r\nConfirmFileOp = 0  \r\nInfoTip=\"tip\"\r\n\r\n"
        "   loose text\r\n[ViewState]\nMode=\nVid=\r\nFolderType=Pictures\r\n";
    WriteText(ini, foreign);
    {
        ProfileFile file(platform, ini);
        file.WriteValue(settings::kClassInfoSection, settings::kIconFileKey, "C:\\x.ico");
        file.WriteValue(settings::kIconAreaSection, settings::kTextColorKey, "0x00000000");
        file.RemoveKey(settings::kClassInfoSection, settings::kIconFileKey);
        file.RemoveKey(settings::kIconAreaSection, settings::kTextColorKey);
    }
    // Only the empty section this program added is left behind.
    EXPECT_EQ(ReadText(ini), foreign + "[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\n");
}

// Odd files read key by key by the program and by the system's profile
// reader, as the shell reads desktop.ini, then written by the program where
// the system reads: one table of every disagreement, none but Wine's own.
TEST_F(ProfileOnDisk, ReadsAndWritesEveryKeyWhereTheSystemReadsIt) {
    std::string bigEndian = "\xFE\xFF", nul(1, '\0');
    for (const char c : std::string("[A]\r\nk=1\r\n")) bigEndian.push_back('\0'), bigEndian.push_back(c);
    const std::vector<std::pair<const char*, std::string>> files = {
        {"header without ]", "[A]\r\nk=1\r\n[B\r\nk=2\r\nj=3\r\n"}, {"UTF-8 BOM", "\xEF\xBB\xBF[A]\r\nk=1\r\n"},
        {"blanks inside brackets", "[ A ]\r\nk=1\r\n[B]x]\r\nk=2\r\n[B] x\r\nj=3\r\n"}, {"UTF-16 BE", bigEndian},
        {"NUL after names", "[A]\r\nk" + nul + "=1\r\n[B" + nul + "x]\r\nj" + nul + "x=2\r\n"},
        {"NUL in a value", "[A]\r\nk=1" + nul + "2\r\n"}, {"CR inside a line", "[A]\r\nk=1\rj=2\r\n"},
        {"CR only", "[A]\rk=1\rj=2\r[B]\rk=3\r"}, {"LF only", "[A]\nk=1\n[B]\nj=2"},
        {"duplicates", "[A]\r\nj=1\r\nk=2\r\nK=3\r\n[B]\r\n[a]\r\nk=4\r\n"},
        {"blanks", " [A] \r\n \t k \t = \t 1 \t \r\n\vj\f=\x1A" "2\v\r\n"},
        {"quotes", "[A]\r\nk=\"1\"\r\nj='2\"\r\n[B]\r\nk=\"\r\nj=''\r\n"},
        {"long line", "[A]\r\nk=" + std::string(40000, 'v') + "\r\nj=2"}, {"a key without =", "[A]\r\nk\r\nk=1\r\nj"},
    };
    std::string table;
    std::vector<wchar_t> theirs(65536);
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string path = dir / ("odd" + std::to_string(i) + ".ini");
        WriteText(path, files[i].second);
        for (const std::string step : {"A", "B", "write A"}) {
            for (const char* key : {"k", "j"}) {
                const std::string section = step.substr(step.size() - 1);
                std::string ours = "new";
                std::vector<std::optional<std::string>> read;
                if (step == section) {
                    ours = platform.ProfileRead(path, section, {key}, read).ok ? read[0].value_or("-") : "";
                } else {
                    EXPECT_TRUE(platform.ProfileEdit(path, {{section, key, ours}}));
                }
                GetPrivateProfileStringW(win::Wide(section).c_str(), win::Wide(key).c_str(), L"-", theirs.data(),
                                         65536, win::Wide(path).c_str());
                char row[128];
                std::snprintf(row, sizeof row, "\n%s [%s] %s: %.9s | %.9s", files[i].first, step.c_str(), key,
                              ours.c_str(), win::Narrow(theirs.data()).c_str());
                if (ours != win::Narrow(theirs.data())) table += row;
            }
        }
    }
    // Where Wine 8 differs from Windows, whose profile reader takes no mark
    // but UTF-16 little-endian's: the rows expect Windows' reading.
    const std::string wineTakesOtherMarks =
        "\nUTF-8 BOM [A] k: - | 1\nUTF-8 BOM [write A] k: new | 1\nUTF-8 BOM [write A] j: new | -"
        "\nUTF-16 BE [A] k: - | 1\nUTF-16 BE [write A] k: new | 1\nUTF-16 BE [write A] j: new | -";
    EXPECT_EQ(table, wineTakesOtherMarks) << "file [section] key: program | system";
}

TEST_F(ProfileOnDisk, ValuesAreCutAt2047Characters) {
    ProfileFile file(platform, ini);
    file.WriteValue("A", "long", std::string(3000, 'v'));
    EXPECT_EQ(file.ReadValue("A", "long", ""), std::string(2047, 'v'));
}

TEST_F(ProfileOnDisk, ValueOutsideTheAnsiCodePageSurvivesAsUtf16ThatTheSystemReads) {
    const std::string greek = "D:\\\xCE\x95\xCE\xB9\xCE\xBA\xCF\x8C\xCE\xBD\xCE\xB5\xCF\x82\\sea.jpg";  // Εικόνες
    WriteText(ini, "[.ShellClassInfo]\r\nInfoTip=plain\r\n");
    {
        ProfileFile file(platform, ini);
        file.WriteValue(settings::kIconAreaSection, settings::kPictureKey, greek);
        EXPECT_EQ(file.ReadValue(settings::kIconAreaSection, settings::kPictureKey, ""), greek);
        EXPECT_EQ(file.ReadValue(settings::kClassInfoSection, "InfoTip", ""), "plain");
    }
    const std::string bytes = ReadText(ini);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    // The system's own profile reader, as the shell uses it, sees the same text.
    wchar_t buffer[256] = {};
    GetPrivateProfileStringW(L"{BE098140-A513-11D0-A3A4-00C04FD706EC}", L"iconarea_image", L"", buffer, 256,
                             win::Wide(ini).c_str());
    EXPECT_EQ(win::Narrow(buffer), greek);
    GetPrivateProfileStringW(L".ShellClassInfo", L"InfoTip", L"", buffer, 256, win::Wide(ini).c_str());
    EXPECT_EQ(win::Narrow(buffer), "plain");
}

TEST_F(ProfileOnDisk, ValuesThatFitKeepThe8BitFile) {
    ProfileFile file(platform, ini);
    file.WriteValue("A", "k", "C:\\plain\\path.jpg");
    EXPECT_EQ(ReadText(ini), "[A]\r\nk=C:\\plain\\path.jpg\r\n");
}

TEST_F(ProfileOnDisk, HiddenSystemSettingsFileKeepsItsAttributesThroughEdits) {
    WriteText(ini, "[A]\r\nk=1\r\nj=0\r\n");
    // As the shell leaves it; each edit swaps in a new file, which must not
    // drop either bit.
    ASSERT_TRUE(platform.SetAttributes(ini, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    {
        ProfileFile file(platform, ini);
        file.WriteValue("A", "k", "2");
        EXPECT_EQ(ReadText(ini), "[A]\r\nk=2\r\nj=0\r\n");
        EXPECT_EQ(AttributesOf(ini) & 0x7, DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM});
        file.RemoveKey("A", "j");
    }
    EXPECT_EQ(ReadText(ini), "[A]\r\nk=2\r\n");
    EXPECT_EQ(AttributesOf(ini) & 0x7, DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM});
    EXPECT_EQ(test::Names(dir.path()), std::vector<std::string>{"desktop.ini"});
}

TEST_F(ProfileOnDisk, RefusedWriteRaisesUnableToWrite) {
    const std::string missing = dir / "no such folder\\desktop.ini";
    ProfileFile file(platform, missing);
    try {
        file.WriteValue("A", "k", "v");
        FAIL() << "no exception";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + missing);
    }
    // A read-only file refuses both edits and stays as it was, alone.
    WriteText(ini, "[A]\r\nk=1\r\n");
    ASSERT_TRUE(platform.SetAttributes(ini, FILE_ATTRIBUTE_READONLY));
    ProfileFile readOnly(platform, ini);
    EXPECT_THROW(readOnly.WriteValue("A", "k", "2"), EIniFileException);
    EXPECT_THROW(readOnly.RemoveKey("A", "k"), EIniFileException);
    EXPECT_EQ(ReadText(ini), "[A]\r\nk=1\r\n");
    EXPECT_EQ(test::Names(dir.path()), std::vector<std::string>{"desktop.ini"});
}

TEST(Attributes, ReadBackAsTheShellSeesThem) {
    win::Win32Platform platform;
    TempFolder dir;
    const std::string folder = dir / "Custom\\";
    test::MakeFolder(folder);
    WriteText(folder + "desktop.ini", "[A]\r\n");
    WriteText(folder + "ro.txt", "x");

    EXPECT_TRUE(platform.SetAttributes(folder, settings::kFolderCustomised));
    EXPECT_EQ(AttributesOf(folder) & 0xFF, DWORD{FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM});
    EXPECT_TRUE(platform.SetAttributes(folder + "Desktop.ini", settings::kFileHidden));
    EXPECT_EQ(AttributesOf(folder + "desktop.ini") & 0x7, DWORD{FILE_ATTRIBUTE_HIDDEN});

    // Made writable with its own bits: read-only alone leaves a normal
    // file; with hidden and system, both stay.
    for (const DWORD own : {DWORD{FILE_ATTRIBUTE_READONLY},
                            DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}}) {
        SCOPED_TRACE(own);
        EXPECT_TRUE(platform.SetAttributes(folder + "ro.txt", own));
        const std::optional<uint32_t> read = platform.ReadAttributes(folder + "ro.txt");
        ASSERT_TRUE(read);
        EXPECT_TRUE(platform.SetAttributes(folder + "ro.txt", WritableAttributes(*read)));
        EXPECT_EQ(AttributesOf(folder + "ro.txt") & 0x7, own & ~DWORD{FILE_ATTRIBUTE_READONLY});
    }

    EXPECT_FALSE(platform.ReadAttributes(dir / "missing"));
    EXPECT_FALSE(platform.SetAttributes(dir / "missing", settings::kFileHidden));
}

TEST(FileSystem, ExistenceTestsTellFilesFromFolders) {
    win::Win32Platform platform;
    TempFolder dir;
    test::MakeFolder(dir / "sub");
    WriteText(dir / "file.txt", "x");
    EXPECT_TRUE(platform.FileExists(dir / "file.txt"));
    EXPECT_FALSE(platform.FileExists(dir / "sub"));
    EXPECT_TRUE(platform.FolderExists(dir / "sub"));
    EXPECT_TRUE(platform.FolderExists(dir / "sub\\"));
    EXPECT_FALSE(platform.FolderExists(dir / "file.txt"));
    EXPECT_FALSE(platform.FileExists(dir / "nothing"));
    EXPECT_TRUE(platform.CreateFolder(dir / "made"));
    EXPECT_TRUE(platform.FolderExists(dir / "made"));
    EXPECT_TRUE(platform.RemoveFile(dir / "file.txt"));
    EXPECT_FALSE(platform.FileExists(dir / "file.txt"));
    EXPECT_FALSE(platform.RemoveFile(dir / "file.txt"));
}

// Both ways of listing, the one Windows 7 on offers and the one XP has,
// give the same entries.
TEST(FileSystem, ListingReportsNamesAndAttributesIncludingHiddenEntriesOnEveryWindows) {
    TempFolder dir;
    const std::string name = "\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0";  // Папка
    test::MakeFolder(dir / name);
    test::MakeFolder(dir / "hidden");
    SetFileAttributesW(win::Wide(dir / "hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteText(dir / "file.txt", "x");
    const auto listed = [&](win::FolderListing listing) {
        win::Win32Platform platform(listing);
        std::vector<std::pair<std::string, uint32_t>> entries;
        for (const FolderEntry& e : platform.ListFolder(dir / "*.*")) entries.emplace_back(e.name, e.attributes);
        std::sort(entries.begin(), entries.end());
        EXPECT_TRUE(platform.ListFolder(dir / "missing\\*.*").empty());
        return entries;
    };
    const auto fastest = listed(win::FolderListing::kBasicWhereAvailable);
    const auto standard = listed(win::FolderListing::kStandard);
    EXPECT_EQ(fastest, standard);
    bool sawName = false, sawHidden = false, sawFile = false;
    for (const auto& [entry, attributes] : standard) {
        if (entry == name) sawName = (attributes & attr::kDirectory) != 0;
        if (entry == "hidden") sawHidden = (attributes & attr::kHidden) != 0;
        if (entry == "file.txt") sawFile = !(attributes & attr::kDirectory);
    }
    EXPECT_TRUE(sawName);
    EXPECT_TRUE(sawHidden);
    EXPECT_TRUE(sawFile);
    // An NTFS name with a lone surrogate (none under Wine) is kept, not U+FFFD.
    EXPECT_EQ(win::Wide(win::Narrow(L"x\xD800")), L"x\xD800");
    EXPECT_NE(win::Narrow(L"x\xD800"), win::Narrow(L"x\xFFFD"));
}

TEST(FileSystem, WholeFilesRoundTripAndFailuresCarryTheSystemsText) {
    // The waiting for a held file, counted instead of slept.
    DWORD waited = 0;
    win::Win32Platform platform(win::FolderListing::kStandard, GetLogicalDrives, [&](DWORD ms) { waited += ms; });
    TempFolder dir;
    const std::vector<uint8_t> bytes = {0xFF, 0xD8, 0x00, 0x0D, 0x0A, 0x1A, 0xFF, 0xD9};
    ASSERT_TRUE(platform.ReplaceWholeFile(dir / "a.jpg", bytes).ok);
    std::vector<uint8_t> back;
    ASSERT_TRUE(platform.ReadWholeFile(dir / "a.jpg", back).ok);
    EXPECT_EQ(back, bytes);
    // A new file is not hidden like the temporary copy it was written to.
    EXPECT_EQ(AttributesOf(dir / "a.jpg") & 0x7, 0u);
    // Replacing truncates and keeps the attributes.
    ASSERT_TRUE(platform.SetAttributes(dir / "a.jpg", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(platform.ReplaceWholeFile(dir / "a.jpg", {1, 2}).ok);
    ASSERT_TRUE(platform.ReadWholeFile(dir / "a.jpg", back).ok);
    EXPECT_EQ(back, (std::vector<uint8_t>{1, 2}));
    EXPECT_EQ(AttributesOf(dir / "a.jpg") & 0x7, DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM});

    const FileResult missing = platform.ReadWholeFile(dir / "none.jpg", back);
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.empty());
    EXPECT_NE(missing.error.back(), '.');
    EXPECT_FALSE(platform.ReplaceWholeFile(dir / "no folder\\a.jpg", bytes).ok);

    // A file held open for writing elsewhere cannot be read.
    win::UniqueFile writer(CreateFileW(win::Wide(dir / "a.jpg").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    ASSERT_EQ(waited, 0u);
    EXPECT_FALSE(platform.ReadWholeFile(dir / "a.jpg", back).ok);
    EXPECT_EQ(waited, 1000u) << "a second of waiting, then the read gives up";
    // Nor replaced: the user hears why, and the file stays as it was.
    waited = 0;
    const FileResult held = platform.ReplaceWholeFile(dir / "a.jpg", bytes);
    EXPECT_FALSE(held.ok);
    EXPECT_EQ(held.error, win::SystemErrorText(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(waited, 1000u);
    writer.reset();
    // A read-only file does not pass with time: refused at once.
    waited = 0;
    ASSERT_TRUE(platform.SetAttributes(dir / "a.jpg", FILE_ATTRIBUTE_READONLY));
    const FileResult readOnly = platform.ReplaceWholeFile(dir / "a.jpg", bytes);
    EXPECT_FALSE(readOnly.ok);
    EXPECT_EQ(readOnly.error, win::SystemErrorText(ERROR_ACCESS_DENIED));
    EXPECT_EQ(waited, 0u);
    EXPECT_EQ(ReadText(dir / "a.jpg"), std::string("\x01\x02"));
    EXPECT_EQ(test::Names(dir.path()), std::vector<std::string>{"a.jpg"});
}

// A swap left half done (1177: the former file under its backup name) and
// not undone is not tried again: the edit fails, the backup stays.
TEST(FileSystem, ASwapLeftHalfDoneIsNotTriedAgain) {
    int swaps = 0;
    const auto halfDone = [&swaps](LPCWSTR target, LPCWSTR, LPCWSTR backup) {
        ++swaps;
        MoveFileW(target, backup);
        return SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2), FALSE;
    };
    win::Win32Platform platform(win::FolderListing::kStandard, GetLogicalDrives, Sleep,
                                {halfDone, [](LPCWSTR, LPCWSTR) { return FALSE; }});
    TempFolder dir;
    WriteText(dir / "desktop.ini", "[V]\r\nMode=4\r\n");
    EXPECT_FALSE(platform.ProfileEdit(dir / "desktop.ini", {{"A", "k", "v"}}));
    EXPECT_EQ(swaps, 1);
    ASSERT_EQ(test::Names(dir.path()).size(), 1u);
    EXPECT_EQ(ReadText(dir / test::Names(dir.path())[0]), "[V]\r\nMode=4\r\n");
}

TEST(Drives, TheSystemDriveIsFixed) {
    win::Win32Platform platform;
    EXPECT_TRUE(platform.LogicalDrives() & (1u << ('C' - 'A')));
    EXPECT_EQ(platform.DriveType("C:\\"), drive::kFixed);
}

// A start that asks before the system has its drive letters (Wine's mount
// manager still starting) gets the letters once they are there, not an
// empty tree; a mask that stays empty ends the waiting.
TEST(Drives, AFailedDriveMaskIsAskedAgainUntilTheLettersAreThere) {
    int asked = 0;
    win::Win32Platform late(win::FolderListing::kStandard, [&asked] { return ++asked < 4 ? 0u : 0x4u; });
    EXPECT_EQ(late.LogicalDrives(), 0x4u);
    EXPECT_EQ(asked, 4);

    asked = 0;
    win::Win32Platform none(win::FolderListing::kStandard, [&asked] { return ++asked, 0u; });
    EXPECT_EQ(none.LogicalDrives(), 0u);
    EXPECT_EQ(asked, 41);
    EXPECT_EQ(none.LogicalDrives(), 0u);  // the second question does not wait again
    EXPECT_EQ(asked, 42);
}

}  // namespace
}  // namespace quorvane
