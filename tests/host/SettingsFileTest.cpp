// The colour text codec, the path rules and FindFolderIcon.
#include <gtest/gtest.h>

#include "folder_settings/SettingsFile.h"
#include "platform/Errors.h"
#include "tests/host/FakePlatform.h"

namespace quorvane {
namespace {

using test::FakePlatform;

std::string ConvertErrorOf(const std::string& text) {
    try {
        SettingTextToColor(text);
    } catch (const EConvertError& e) {
        return e.what();
    }
    return "no error";
}

TEST(ColorText, WritesBlueGreenRedInUpperCaseHex) {
    FakePlatform fs;
    EXPECT_EQ(ColorToSettingText(fs, kWhite), "0x00FFFFFF");
    EXPECT_EQ(ColorToSettingText(fs, kBlack), "0x00000000");
    EXPECT_EQ(ColorToSettingText(fs, 0x563412), "0x00563412");
    EXPECT_EQ(ColorToSettingText(fs, 0x0000FF), "0x000000FF");
    EXPECT_EQ(ColorToSettingText(fs, 0x0A0B0C), "0x000A0B0C");
    // The top byte of a plain colour is dropped.
    EXPECT_EQ(ColorToSettingText(fs, 0x02ABCDEF), "0x00ABCDEF");
}

TEST(ColorText, SystemColourIsWrittenAsItsCurrentRgb) {
    FakePlatform fs;
    fs.systemColors[8] = 0x112233;  // window text
    EXPECT_EQ(ColorToSettingText(fs, 0x80000008), "0x00112233");
}

TEST(ColorText, RoundTripsEveryRgbValue) {
    FakePlatform fs;
    for (Color c = 0; c <= 0xFFFFFF; c += 0x010101 * 3 + 7) {
        ASSERT_EQ(SettingTextToColor(ColorToSettingText(fs, c)), c) << c;
    }
    for (Color c : {0x000000u, 0xFFFFFFu, 0x00FF00u, 0xFEDCBAu}) {
        EXPECT_EQ(SettingTextToColor(ColorToSettingText(fs, c)), c);
    }
}

TEST(ColorText, ReadsOnlyCharactersFiveToTen) {
    EXPECT_EQ(SettingTextToColor("0x00ffffff"), kWhite);
    EXPECT_EQ(SettingTextToColor("0xFF0000FF"), 0x0000FFu);
    EXPECT_EQ(SettingTextToColor("0x000000FF"), 0x0000FFu);
    EXPECT_EQ(SettingTextToColor("0x00FF0000"), 0xFF0000u);
    EXPECT_EQ(SettingTextToColor("zzzz563412"), 0x563412u);
    EXPECT_EQ(SettingTextToColor("0x00563412 trailing junk"), 0x563412u);
}

TEST(ColorText, BadPairsRaiseInBlueGreenRedOrder) {
    EXPECT_EQ(ConvertErrorOf("0x00G0FFZZ"), "'$G0' is not a valid integer value");
    EXPECT_EQ(ConvertErrorOf("0x00FFxyZZ"), "'$xy' is not a valid integer value");
    EXPECT_EQ(ConvertErrorOf("0x00FFFF-1"), "'$-1' is not a valid integer value");
    EXPECT_EQ(ConvertErrorOf("0x00FF FFFF"), "'$ F' is not a valid integer value");
}

TEST(ColorText, ShortTextsRaiseWithWhatIsThereAndNeverReadPastTheEnd) {
    EXPECT_EQ(ConvertErrorOf(""), "'$' is not a valid integer value");
    EXPECT_EQ(ConvertErrorOf("0x00"), "'$' is not a valid integer value");
    EXPECT_EQ(ConvertErrorOf("0x00F"), "'$F' is not a valid integer value");
    EXPECT_EQ(ConvertErrorOf("0x00FFFF"), "'$' is not a valid integer value");
    EXPECT_EQ(ConvertErrorOf("0x00FFFFF"), "'$F' is not a valid integer value");
}

TEST(PathValue, SecondCharacterColonMeansAbsolute) {
    EXPECT_EQ(ResolvePathValue("C:\\A\\", "D:\\Pictures\\sea.jpg"), "D:\\Pictures\\sea.jpg");
    EXPECT_EQ(ResolvePathValue("C:\\A\\", "Folder Settings\\BackGround.jpg"),
              "C:\\A\\Folder Settings\\BackGround.jpg");
    EXPECT_EQ(ResolvePathValue("C:\\A", "x.ico"), "C:\\A\\x.ico");
    // A leading separator is relative like any other; a network path is itself.
    EXPECT_EQ(ResolvePathValue("C:\\A\\", "\\x.ico"), "C:\\A\\\\x.ico");
    EXPECT_EQ(ResolvePathValue("C:\\A\\", "\\\\srv\\x.ico"), "\\\\srv\\x.ico");
    EXPECT_EQ(ResolvePathValue("C:\\A\\", "//srv/x.ico"), "//srv/x.ico");
    EXPECT_EQ(ResolvePathValue("C:\\A\\", "x"), "C:\\A\\x");
    EXPECT_EQ(ResolvePathValue("C:\\A\\", ""), "C:\\A\\");
}

TEST(PathValue, ExtensionStartsAtTheLastDotAfterTheLastSeparator) {
    EXPECT_EQ(PathExtension("C:\\a\\Folder.ICO"), ".ICO");
    EXPECT_EQ(PathExtension("C:\\a.b\\file"), "");
    EXPECT_EQ(PathExtension("C:\\a\\shell32.dll,3"), ".dll,3");
    EXPECT_EQ(PathExtension("x.tar.ico"), ".ico");
    EXPECT_EQ(PathExtension("d.x:file"), "");
    EXPECT_EQ(PathExtension(""), "");
    EXPECT_EQ(PathExtension("name."), ".");
}

TEST(SettingsFilePath, AddsExactlyOneSeparator) {
    EXPECT_EQ(SettingsFilePath("C:\\A\\B"), "C:\\A\\B\\desktop.ini");
    EXPECT_EQ(SettingsFilePath("C:\\A\\B\\"), "C:\\A\\B\\desktop.ini");
    EXPECT_EQ(SettingsFilePath("C:\\"), "C:\\desktop.ini");
}

class FindFolderIconTest : public ::testing::Test {
protected:
    void Ini(const std::string& iconFile) {
        fs.AddFile("C:\\A\\B\\desktop.ini", "[.ShellClassInfo]\r\nIconFile=" + iconFile + "\r\nIconIndex=0\r\n");
    }
    FakePlatform fs;
};

TEST_F(FindFolderIconTest, RelativeIconWithUpperCaseExtensionIsFoundInItsStoredCase) {
    fs.AddFile("C:\\A\\B\\Folder.ICO", "icon");
    Ini("Folder.ICO");
    EXPECT_EQ(FindFolderIcon(fs, "C:\\A\\B"), "C:\\A\\B\\Folder.ICO");
    EXPECT_EQ(FindFolderIcon(fs, "C:\\A\\B\\"), "C:\\A\\B\\Folder.ICO");
}

TEST_F(FindFolderIconTest, AbsoluteIconIsReturnedUnchanged) {
    fs.AddFile("D:\\Icons\\sea.ico", "icon");
    Ini("D:\\Icons\\sea.ico");
    EXPECT_EQ(FindFolderIcon(fs, "C:\\A\\B\\"), "D:\\Icons\\sea.ico");
}

TEST_F(FindFolderIconTest, LibrariesMissingFilesAndFoldersGiveNothing) {
    fs.AddFile("C:\\A\\B\\shell.dll", "MZ");
    Ini("shell.dll");
    EXPECT_EQ(FindFolderIcon(fs, "C:\\A\\B"), "");
    fs.AddFile("C:\\A\\B\\desktop.ini", "[.ShellClassInfo]\r\nIconFile=gone.ico\r\n");
    EXPECT_EQ(FindFolderIcon(fs, "C:\\A\\B"), "");
    fs.AddFolder("C:\\A\\B\\dir.ico");
    fs.AddFile("C:\\A\\B\\desktop.ini", "[.ShellClassInfo]\r\nIconFile=dir.ico\r\n");
    EXPECT_EQ(FindFolderIcon(fs, "C:\\A\\B"), "");
    EXPECT_EQ(FindFolderIcon(fs, "C:\\Nowhere"), "");
    // A settings file held by another program past the waiting raises nothing.
    fs.AddFile("C:\\A\\B\\sea.ico", "icon");
    Ini("sea.ico");
    fs.lockedFiles.insert("C:\\A\\B\\desktop.ini");
    EXPECT_EQ(FindFolderIcon(fs, "C:\\A\\B"), "");
}

// Which icon each Windows shows: from Vista on "IconResource" (its path
// part, as the shell's parser reads it) before "IconFile", on XP
// "IconFile" alone; environment variables expanded before the
// relative-path rule.
TEST_F(FindFolderIconTest, TakesTheKeyTheRunningWindowsReadsFirst) {
    struct Case {
        const char* keys;
        const char* vista;
        const char* xp;
    } const cases[] = {
        {"IconResource=res.ico,0", "C:\\A\\B\\res.ico", ""},
        {"IconFile=file.ico", "C:\\A\\B\\file.ico", "C:\\A\\B\\file.ico"},
        {"IconFile=file.ico\r\nIconResource=res.ico,0", "C:\\A\\B\\res.ico", "C:\\A\\B\\file.ico"},
        {"IconResource=C:\\a,b\\x.ico,-3", "C:\\a,b\\x.ico", ""},
        {"IconResource=\"C:\\My Icons\\a.ico\",0", "C:\\My Icons\\a.ico", ""},
        {"IconResource=C:\\My Icons\\a.ico ,0", "C:\\My Icons\\a.ico", ""},
        {"IconResource=res.ico , 0\r\nIconFile=file.ico", "C:\\A\\B\\res.ico", "C:\\A\\B\\file.ico"},
        {"IconResource=C:\\a,b\\x.ico", "", ""},
        {"IconResource=%SystemRoot%\\x.ico,0\r\nIconFile=%userprofile%\\me.ico", "C:\\Windows\\x.ico",
         "C:\\Users\\me\\me.ico"},
        // An unknown name stays, as the system leaves it.
        {"IconFile=%NOPE%\\x.ico", "C:\\A\\B\\%NOPE%\\x.ico", "C:\\A\\B\\%NOPE%\\x.ico"},
        // Windows' own Documents folder: libraries, by resource number.
        {"IconResource=%SystemRoot%\\system32\\imageres.dll,-112\r\nIconFile=%SystemRoot%\\system32\\shell32.dll"
         "\r\nIconIndex=-235",
         "", ""},
        {"IconResource=%SystemRoot%\\system32\\imageres.dll,-112\r\nIconFile=file.ico", "", "C:\\A\\B\\file.ico"},
    };
    for (const char* icon : {"C:\\A\\B\\res.ico", "C:\\A\\B\\file.ico", "C:\\a,b\\x.ico", "C:\\Windows\\x.ico",
                             "C:\\My Icons\\a.ico",
                             "C:\\Users\\me\\me.ico", "C:\\A\\B\\%NOPE%\\x.ico"}) {
        fs.AddFile(icon, "icon");
    }
    fs.environment = {{"SYSTEMROOT", "C:\\Windows"}, {"USERPROFILE", "C:\\Users\\me"}};
    for (const Case& c : cases) {
        fs.AddFile("C:\\A\\B\\desktop.ini", std::string("[.ShellClassInfo]\r\n") + c.keys + "\r\n");
        fs.vistaOrLater = true;
        EXPECT_EQ(FindFolderIcon(fs, "C:\\A\\B"), c.vista) << c.keys;
        fs.vistaOrLater = false;
        EXPECT_EQ(FindFolderIcon(fs, "C:\\A\\B"), c.xp) << c.keys;
    }
}

TEST_F(FindFolderIconTest, DriveRootReadsItsOwnSettingsFile) {
    fs.AddFile("C:\\root.ico", "icon");
    fs.AddFile("C:\\desktop.ini", "[.ShellClassInfo]\r\nIconFile=root.ico\r\n");
    EXPECT_EQ(FindFolderIcon(fs, "C:\\"), "C:\\root.ico");
}

}  // namespace
}  // namespace quorvane
