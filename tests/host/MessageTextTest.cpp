#include <gtest/gtest.h>

#include <new>
#include <utility>

#include "platform/Errors.h"
#include "ui/MessageText.h"

namespace quorvane {
namespace {

TEST(ProgramTitle, IsTheFileNameUpToItsFirstFullStopInTitleCase) {
    EXPECT_EQ(ProgramTitle("C:\\Tools\\quorvane.exe"), "quorvane");
    EXPECT_EQ(ProgramTitle("C:\\Tools\\QUORVANE.EXE"), "Quorvane");
    EXPECT_EQ(ProgramTitle("C:\\Tools\\QuorVane.exe"), "Quorvane");
    EXPECT_EQ(ProgramTitle("D:\\my.tools\\Folder.Setup.exe"), "Folder");
    EXPECT_EQ(ProgramTitle("C:PROG.EXE"), "Prog");
    EXPECT_EQ(ProgramTitle("quorvane.exe"), "quorvane");
    EXPECT_EQ(ProgramTitle("C:\\Tools\\NOEXT"), "Noext");
    EXPECT_EQ(ProgramTitle("C:\\Tools\\.hidden"), "");
}

TEST(ProgramTitle, LowersLettersBeyondAscii) {
    EXPECT_EQ(ProgramTitle("C:\\Программы\\ПАПКИ.exe"), "Папки");
    EXPECT_EQ(ProgramTitle("C:\\x\\ÉCOLE.exe"), "École");
    EXPECT_EQ(ProgramTitle("C:\\x\\ЁЛКА.exe"), "Ёлка");
}

TEST(LowerCodePoint, MapsCapitalsAndLeavesTheRest) {
    EXPECT_EQ(LowerCodePoint(U'A'), U'a');
    EXPECT_EQ(LowerCodePoint(U'z'), U'z');
    EXPECT_EQ(LowerCodePoint(U'1'), U'1');
    EXPECT_EQ(LowerCodePoint(U'Я'), U'я');
    EXPECT_EQ(LowerCodePoint(U'Ё'), U'ё');
    EXPECT_EQ(LowerCodePoint(U'É'), U'é');
    EXPECT_EQ(LowerCodePoint(U'×'), U'×');
    EXPECT_EQ(LowerCodePoint(U'Ω'), U'ω');
    EXPECT_EQ(LowerCodePoint(U'Ł'), U'ł');
    EXPECT_EQ(LowerCodePoint(U'ł'), U'ł');
    EXPECT_EQ(LowerCodePoint(U'Ÿ'), U'ÿ');
}

TEST(ErrorBoxText, AddsAFullStopAfterCharactersAboveTheFullStop) {
    EXPECT_EQ(ErrorBoxText("Icon image is not valid"), "Icon image is not valid.");
    EXPECT_EQ(ErrorBoxText("JPEG error #53"), "JPEG error #53.");
    EXPECT_EQ(ErrorBoxText("Ошибка"), "Ошибка.");
    EXPECT_EQ(ErrorBoxText("path/"), "path/.");
}

TEST(ErrorBoxText, LeavesMessagesEndingAtOrBelowTheFullStop) {
    EXPECT_EQ(ErrorBoxText("Не выбрана папка для обработки!"), "Не выбрана папка для обработки!");
    EXPECT_EQ(ErrorBoxText("Done."), "Done.");
    EXPECT_EQ(ErrorBoxText("Unknown picture file extension (.txt)"), "Unknown picture file extension (.txt)");
    EXPECT_EQ(ErrorBoxText("dash-"), "dash-");
    EXPECT_EQ(ErrorBoxText("space "), "space ");
    EXPECT_EQ(ErrorBoxText(""), "");
}

TEST(ExceptionMessage, IsTheExceptionsTextAndOutOfMemoryForAFailedAllocation) {
    const auto message = [](auto thrown) { return ErrorBoxText(ExceptionMessage(std::make_exception_ptr(thrown))); };
    EXPECT_EQ(message(EInvalidGraphic("Icon image is not valid")), "Icon image is not valid.");
    EXPECT_EQ(message(std::bad_alloc()), "Out of memory.");
    EXPECT_EQ(message(std::bad_array_new_length()), "Out of memory.");
    EXPECT_EQ(message(42), "Unknown error.");
}

TEST(LinkTarget, GivesABareAddressTheSchemeTheShellNeeds) {
    const std::pair<const char*, const char*> cases[] = {
        // Without a scheme the shell would look for a file of that name.
        {"quorvane.brantwick.example", "http://quorvane.brantwick.example"},
        {"www.example.org/путь/", "http://www.example.org/путь/"},
        {"host.example:8080/page", "http://host.example:8080/page"},
        {"localhost:8080", "http://localhost:8080"},
        {"quorvane@brantwick.example", "mailto:quorvane@brantwick.example"},
        {"host.example/a@b", "http://host.example/a@b"},
        // An address with a scheme, and a file's path, are left as they are.
        {"C:\\readme.txt", "C:\\readme.txt"},
        {"http://quorvane.brantwick.example", "http://quorvane.brantwick.example"},
        {"HTTPS://example.org", "HTTPS://example.org"},
        {"mailto:quorvane@brantwick.example", "mailto:quorvane@brantwick.example"},
        {"svn+ssh://host/repo", "svn+ssh://host/repo"},
        {"", ""},
    };
    for (const auto& [caption, target] : cases) EXPECT_EQ(LinkTarget(caption), target) << caption;
}

}  // namespace
}  // namespace quorvane
