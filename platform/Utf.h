// UTF-8 <-> UTF-16 conversion for the portable code (the Windows boundary
// and UTF-16 profile files). Invalid input is replaced by U+FFFD, never
// read past its end.
#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// A lone surrogate is no character, but a file may hold one. kKeep gives it
// the three-byte form its value would have in UTF-8 and takes that form
// back, so text read from a file and written again keeps it.
enum class LoneSurrogates { kReplace, kKeep };

std::u16string Utf8ToUtf16(std::string_view text, LoneSurrogates lone = LoneSurrogates::kReplace);
std::string Utf16ToUtf8(std::u16string_view text, LoneSurrogates lone = LoneSurrogates::kReplace);

// The first `count` code points of a UTF-8 text (all of it when shorter).
std::string Utf8Prefix(std::string_view text, size_t count);

// ASCII-only case folding, for names and extensions the program compares.
std::string AsciiLower(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace quorvane
