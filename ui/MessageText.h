// The texts around the program's messages: its title, taken from the
// executable's name, the error box's text, and the address a link opens.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace quorvane {

// The file name without its folder, cut at its first ".", with every
// character after the first in lower case.
std::string ProgramTitle(std::string_view executablePath);

// The message with a full stop appended when it is not empty and its last
// character's code is above that of "." (letters and digits get one; ".",
// "!" and ")" do not).
std::string ErrorBoxText(std::string_view message);

// The message of an exception as the user reads it: its own text; "Out of
// memory" when an allocation failed, rather than the library's name for
// that; a generic text for kinds that carry none.
std::string ExceptionMessage(const std::exception_ptr& error);

// What the shell is asked to open for a link showing `caption`: the caption
// itself when it starts with a scheme ("https:", "mailto:") or a drive,
// otherwise with "mailto:" in front of an e-mail address and "http://" in
// front of anything else. The shell takes a bare "host.example" for a file name.
std::string LinkTarget(std::string_view caption);

// A colour (COLORREF layout, 0x00BBGGRR) as a screen reader tells it:
// its red, green and blue numbers in words.
std::string ColorValueText(uint32_t rgb);

// Lower case of one code point: ASCII, Latin-1, Latin Extended-A, Greek and
// Cyrillic capitals; any other code point is returned unchanged.
char32_t LowerCodePoint(char32_t c);

}  // namespace quorvane
