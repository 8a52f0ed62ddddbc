// The profile (INI) service over the bytes of one file. Each edit touches
// only the lines of the key it writes or removes: every other byte of the
// file stays as it was. Names match without regard to (ASCII) case.
//
// A file is UTF-16 little-endian with its byte-order mark, or else 8-bit
// text in the system's ANSI code page, byte for byte, whatever mark it
// begins with: the forms Windows' profile reader takes; its lines are read
// as that reader reads them. A write whose names or value have no ANSI
// form turns an 8-bit file into UTF-16, so nothing is ever stored as
// question marks; other files keep their form, and a UTF-16 file of odd
// length its lone last byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace quorvane {

class AnsiCodec {
public:
    virtual ~AnsiCodec() = default;
    // False when some character has no form in the code page.
    virtual bool FromUtf8(std::string_view utf8, std::string& ansi) const = 0;
    virtual std::string ToUtf8(std::string_view ansi) const = 0;
};

using Bytes = std::vector<uint8_t>;

// The value (UTF-8, blanks around it and one pair of enclosing quotes
// removed), or nothing when the section or key is missing.
std::optional<std::string> ProfileLookup(const Bytes& file, std::string_view section,
                                         std::string_view key, const AnsiCodec& codec);

// The file with the key set, adding the section and key when missing.
Bytes ProfileWithValue(const Bytes& file, std::string_view section, std::string_view key,
                       std::string_view value, const AnsiCodec& codec);

// The file without the key (every line of it in the section), or nothing
// when there was no such key.
std::optional<Bytes> ProfileWithoutKey(const Bytes& file, std::string_view section,
                                       std::string_view key, const AnsiCodec& codec);

// The file with every change made in order, or nothing when none changed it.
std::optional<Bytes> ProfileWithChanges(const Bytes& file, const std::vector<ProfileChange>& changes,
                                        const AnsiCodec& codec);

}  // namespace quorvane
