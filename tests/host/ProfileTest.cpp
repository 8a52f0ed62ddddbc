// The profile text service and ProfileFile over the in-memory platform.
#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "platform/ProfileFile.h"
#include "platform/ProfileText.h"
#include "tests/host/FakePlatform.h"

namespace quorvane {
namespace {

using test::FakePlatform;
using test::Latin1Codec;

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }
std::string S(const Bytes& b) { return std::string(b.begin(), b.end()); }

const Latin1Codec kCodec;

TEST(ProfileText, LookupMatchesNamesWithoutCaseAndTrimsValues) {
    const Bytes file = B("; note\r\n[Sec]\r\n  Key = some value  \r\nq=\"quoted \"\r\n");
    EXPECT_EQ(ProfileLookup(file, "sec", "KEY", kCodec), "some value");
    EXPECT_EQ(ProfileLookup(file, "SEC", "q", kCodec), "quoted ");
    EXPECT_EQ(ProfileLookup(file, "Sec", "missing", kCodec), std::nullopt);
    EXPECT_EQ(ProfileLookup(file, "Other", "Key", kCodec), std::nullopt);
    EXPECT_EQ(ProfileLookup(B(""), "Sec", "Key", kCodec), std::nullopt);
}

TEST(ProfileText, KeysOfOneSectionDoNotLeakIntoAnother) {
    const Bytes file = B("[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
    EXPECT_EQ(ProfileLookup(file, "A", "y", kCodec), std::nullopt);
    EXPECT_EQ(ProfileLookup(file, "B", "y", kCodec), "2");
}

TEST(ProfileText, CommentsAndLinesWithoutEqualsAreNotKeys) {
    const Bytes file = B("[A]\r\n;x=1\r\nx\r\n");
    EXPECT_EQ(ProfileLookup(file, "A", ";x", kCodec), std::nullopt);
    EXPECT_EQ(ProfileLookup(file, "A", "x", kCodec), std::nullopt);
}

TEST(ProfileText, WritingAKeyKeepsEveryOtherByte) {
    const std::string before = "; comment\r\n[S1]\r\nkey = value with spaces  \r\nK2=v2\r\n\r\n"
                               "  odd line\r\n[Other]\r\nx=1\r\n";
    Bytes after = ProfileWithValue(B(before), "s1", "k2", "new", kCodec);
    EXPECT_EQ(S(after), "; comment\r\n[S1]\r\nkey = value with spaces  \r\nK2=new\r\n\r\n"
                        "  odd line\r\n[Other]\r\nx=1\r\n");
    after = ProfileWithValue(after, "Other", "y", "2", kCodec);
    EXPECT_EQ(S(after), "; comment\r\n[S1]\r\nkey = value with spaces  \r\nK2=new\r\n\r\n"
                        "  odd line\r\n[Other]\r\nx=1\r\ny=2\r\n");

    // UTF-16 units that are no character (lone surrogates, high then low)
    // are bytes of the file too, and of a value that holds one.
    auto utf16 = [](std::initializer_list<uint16_t> units) {
        Bytes b = {0xFF, 0xFE};
        for (uint16_t u : units) {
            b.push_back(static_cast<uint8_t>(u & 0xFF));
            b.push_back(static_cast<uint8_t>(u >> 8));
        }
        return b;
    };
    const Bytes edited = ProfileWithValue(utf16({0xD800, '\n', '[', 'S', ']', '\n', 'k', '=', 0xDC01, '\n'}),
                                          "S", "n", "1", kCodec);
    EXPECT_EQ(edited, utf16({0xD800, '\n', '[', 'S', ']', '\n', 'k', '=', 0xDC01, '\n', 'n', '=', '1', '\n'}));
    EXPECT_EQ(ProfileLookup(edited, "S", "k", kCodec), "\xED\xB0\x81");
}

TEST(ProfileText, NewKeyGoesAfterTheSectionsLastKeyBeforeBlankLinesAndComments) {
    Bytes after = ProfileWithValue(B("[A]\r\nx=1\r\n\r\n; about B\r\n[B]\r\n"), "A", "y", "2", kCodec);
    EXPECT_EQ(S(after), "[A]\r\nx=1\r\ny=2\r\n\r\n; about B\r\n[B]\r\n");
    after = ProfileWithValue(B("[A]\r\n\r\n[B]\r\n"), "A", "y", "2", kCodec);
    EXPECT_EQ(S(after), "[A]\r\ny=2\r\n\r\n[B]\r\n");
}

TEST(ProfileText, NewSectionIsAppendedInTheFilesLineEndings) {
    EXPECT_EQ(S(ProfileWithValue(B(""), "A", "k", "v", kCodec)), "[A]\r\nk=v\r\n");
    EXPECT_EQ(S(ProfileWithValue(B("[X]\nz=1\n"), "A", "k", "v", kCodec)), "[X]\nz=1\n[A]\nk=v\n");
    // A last line without a terminator gets one before the new section.
    EXPECT_EQ(S(ProfileWithValue(B("[X]\r\nz=1"), "A", "k", "v", kCodec)), "[X]\r\nz=1\r\n[A]\r\nk=v\r\n");
    EXPECT_EQ(S(ProfileWithValue(B("[X]\r\nz=1"), "X", "k", "v", kCodec)), "[X]\r\nz=1\r\nk=v\r\n");
}

TEST(ProfileText, RemovingTakesOutOnlyTheKeysLines) {
    const Bytes file = B("[A]\r\nx=1\r\n  Y = 2 \r\nz=3\r\ny=again\r\n[B]\r\ny=4\r\n");
    auto after = ProfileWithoutKey(file, "a", "y", kCodec);
    ASSERT_TRUE(after);
    // A repeated key goes too, or it would read as the value; other
    // sections keep theirs.
    EXPECT_EQ(S(*after), "[A]\r\nx=1\r\nz=3\r\n[B]\r\ny=4\r\n");
    EXPECT_EQ(ProfileLookup(*after, "A", "y", kCodec), std::nullopt);
    EXPECT_FALSE(ProfileWithoutKey(file, "A", "missing", kCodec));
    EXPECT_FALSE(ProfileWithoutKey(file, "B", "x", kCodec));
    EXPECT_EQ(S(*ProfileWithoutKey(B("[A]\ny=1\nx=2\ny=3"), "A", "y", kCodec)), "[A]\nx=2\n");
}

TEST(ProfileText, AValueWithoutAnAnsiFormTurnsTheFileIntoUtf16) {
    const std::string greek = "\xCE\x93\xCE\xB5\xCE\xB9\xCE\xAC";  // Γειά
    // An 8-bit file with a Latin-1 byte (é) that must survive the change.
    const Bytes file = B("[A]\r\nname=caf\xE9\r\n");
    const Bytes after = ProfileWithValue(file, "A", "greek", greek, kCodec);
    ASSERT_GE(after.size(), 2u);
    EXPECT_EQ(after[0], 0xFF);
    EXPECT_EQ(after[1], 0xFE);
    EXPECT_EQ(ProfileLookup(after, "A", "greek", kCodec), greek);
    EXPECT_EQ(ProfileLookup(after, "A", "name", kCodec), "caf\xC3\xA9");
    // Later writes keep the UTF-16 form, even of plain values.
    const Bytes again = ProfileWithValue(after, "A", "plain", "x", kCodec);
    EXPECT_EQ(again[0], 0xFF);
    EXPECT_EQ(ProfileLookup(again, "A", "plain", kCodec), "x");
    auto removed = ProfileWithoutKey(again, "A", "greek", kCodec);
    ASSERT_TRUE(removed);
    EXPECT_EQ(ProfileLookup(*removed, "A", "greek", kCodec), std::nullopt);
    EXPECT_EQ(ProfileLookup(*removed, "A", "plain", kCodec), "x");
}

// As Windows reads profiles, any file but UTF-16 little-endian with its
// mark is ANSI bytes: a UTF-8 mark hides the first line's header. A UTF-16
// file's lone last byte stays at its end.
TEST(ProfileText, OnlyUtf16LittleEndianWithItsMarkIsUnicode) {
    const std::string marked = "\xEF\xBB\xBF[S]\r\nk=0\r\n";
    EXPECT_EQ(ProfileLookup(B(marked), "S", "k", kCodec), std::nullopt);
    EXPECT_EQ(S(ProfileWithValue(B(marked), "S", "k", "1", kCodec)), marked + "[S]\r\nk=1\r\n");
    std::string odd = "\xFF\xFE";
    for (const char ch : std::string("[A]\nk=1\n")) odd += std::string{ch, '\0'};
    const Bytes written = ProfileWithValue(B(odd + "\x7F"), "A", "j", "2", kCodec);
    EXPECT_EQ(S(written).back(), '\x7F');
    EXPECT_EQ(S(ProfileWithoutKey(written, "A", "k", kCodec).value_or(Bytes{})).back(), '\x7F');
}

TEST(ProfileText, ValuesThatFitKeepThe8BitForm) {
    const Bytes after = ProfileWithValue(B("[A]\r\n"), "A", "k", "caf\xC3\xA9", kCodec);
    EXPECT_EQ(S(after), "[A]\r\nk=caf\xE9\r\n");
    EXPECT_EQ(ProfileLookup(after, "A", "k", kCodec), "caf\xC3\xA9");
}

TEST(ProfileFile, OpeningAndReadingTouchNothing) {
    FakePlatform fs;
    fs.AddFolder("C:\\F");
    {
        ProfileFile file(fs, "C:\\F\\desktop.ini");
        EXPECT_EQ(file.ReadValue("A", "k", "dflt"), "dflt");
        file.RemoveKey("A", "k");
    }
    EXPECT_FALSE(fs.Exists("C:\\F\\desktop.ini"));
}

TEST(ProfileFile, FirstWriteCreatesTheFileAndLaterReadsSeeIt) {
    FakePlatform fs;
    fs.AddFolder("C:\\F");
    ProfileFile file(fs, "C:\\F\\desktop.ini");
    file.WriteValue("A", "k", "v");
    file.WriteNumber("A", "n", 0);
    EXPECT_EQ(file.ReadValue("a", "K", ""), "v");
    EXPECT_EQ(fs.Text("C:\\F\\desktop.ini"), "[A]\r\nk=v\r\nn=0\r\n");
}

TEST(ProfileFile, RefusedWriteRaisesWithThePath) {
    FakePlatform fs;
    ProfileFile file(fs, "C:\\Missing\\desktop.ini");
    try {
        file.WriteValue("A", "k", "v");
        FAIL() << "no exception";
    } catch (const EIniFileException& e) {
        EXPECT_STREQ(e.what(), "Unable to write to C:\\Missing\\desktop.ini");
    }
    EXPECT_THROW(file.WriteNumber("A", "n", 1), EIniFileException);
}

TEST(ProfileFile, RemoveKeyRaisesOnlyWhenTheFileCannotBeWritten) {
    FakePlatform fs;
    fs.AddFile("C:\\F\\desktop.ini", "[A]\r\nk=v\r\n", attr::kReadOnly);
    ProfileFile file(fs, "C:\\F\\desktop.ini");
    EXPECT_NO_THROW(file.RemoveKey("A", "gone"));
    EXPECT_THROW(file.RemoveKey("A", "k"), EIniFileException);
    EXPECT_EQ(file.ReadValue("A", "k", ""), "v");
}

TEST(ProfileFile, ValuesAreCutAt2047Characters) {
    FakePlatform fs;
    fs.AddFolder("C:\\F");
    ProfileFile file(fs, "C:\\F\\desktop.ini");
    file.WriteValue("A", "exact", std::string(2047, 'x'));
    file.WriteValue("A", "long", std::string(2048, 'y'));
    EXPECT_EQ(file.ReadValue("A", "exact", "").size(), 2047u);
    EXPECT_EQ(file.ReadValue("A", "long", ""), std::string(2047, 'y'));
    // Characters, not bytes: a cut never splits a character.
    std::string cyrillic;
    for (int i = 0; i < 2048; ++i) cyrillic += "\xD0\x96";  // Ж
    file.WriteValue("A", "cyr", cyrillic);
    EXPECT_EQ(file.ReadValue("A", "cyr", ""), cyrillic.substr(0, 2047 * 2));
}

}  // namespace
}  // namespace quorvane
