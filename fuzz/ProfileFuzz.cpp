// One read, write, removal or flush of a desktop.ini through ProfileFile,
// on any file bytes (8-bit or UTF-16). After it: every line but the edited
// one is unchanged, a written value reads back, a removed key reads as
// missing, and only a write ever creates the file.
//
// Input: one operation byte, then section, key and value separated by zero
// bytes, then the file's bytes.
//   bits 0-1  0 read, 1 write, 2 remove, 3 flush only
//   bit 2     no file at all
//   bit 3     the file bytes widened to UTF-16 (each byte a unit, BOM first)
//   bit 4     with bit 3, one lone byte more at the end (a file of odd length)
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Errors.h"
#include "platform/ProfileFile.h"
#include "platform/Utf.h"
#include "tests/host/FakePlatform.h"

namespace {

using quorvane::Bytes;

const char kPath[] = "C:\\f\\desktop.ini";
// No value can hold a line break, so this default means "missing".
const char kMissing[] = "\n";
constexpr size_t kMaxValueLength = 2047;

bool IsUtf16(const Bytes& file) { return file.size() >= 2 && file[0] == 0xFF && file[1] == 0xFE; }

// A file's characters as numbers, as Windows reads profiles: whole code
// units of a UTF-16 little-endian one with its mark, otherwise bytes (the
// fake code page is Latin-1, so a file turned into UTF-16 keeps the same
// numbers), a UTF-8 or big-endian mark among them.
std::vector<uint32_t> Units(const Bytes& file) {
    std::vector<uint32_t> units;
    if (IsUtf16(file)) {
        for (size_t i = 2; i + 1 < file.size(); i += 2) units.push_back(file[i] | (file[i + 1] << 8));
    } else {
        units.assign(file.begin(), file.end());
    }
    return units;
}

// The lone last byte of a UTF-16 file of odd length, which no unit holds:
// an edit keeps it at the end. -1 for none.
int LoneByte(const Bytes& file) { return IsUtf16(file) && file.size() % 2 != 0 ? file.back() : -1; }

struct Line {
    std::vector<uint32_t> text;  // without its terminator
    std::vector<uint32_t> eol;   // "\r\n", "\r", "\n" or nothing at the end
    bool operator==(const Line&) const = default;
};

std::vector<Line> Lines(const Bytes& file) {
    const std::vector<uint32_t> units = Units(file);
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < units.size()) {
        const auto nl = std::find_if(units.begin() + static_cast<long>(pos), units.end(),
                                     [](uint32_t u) { return u == '\n' || u == '\r'; });
        const size_t end = static_cast<size_t>(nl - units.begin());
        size_t next = nl == units.end() ? end : end + 1;
        if (next < units.size() && units[end] == '\r' && units[next] == '\n') ++next;
        Line line;
        line.text.assign(units.begin() + static_cast<long>(pos), units.begin() + static_cast<long>(end));
        line.eol.assign(units.begin() + static_cast<long>(end), units.begin() + static_cast<long>(next));
        lines.push_back(std::move(line));
        pos = next;
    }
    return lines;
}

// `after` is `before` with `added` lines inserted in one place.
bool LinesInserted(const std::vector<Line>& before, const std::vector<Line>& after, size_t added) {
    if (after.size() != before.size() + added) return false;
    size_t i = 0;
    while (i < before.size() && before[i] == after[i]) ++i;
    if (std::equal(before.begin() + static_cast<long>(i), before.end(), after.begin() + static_cast<long>(i + added))) {
        return true;
    }
    // After a last line that had no terminator: its bytes are kept, though a
    // "\r" it ended with now opens a "\r\n".
    if (i + 1 != before.size() || !before[i].eol.empty()) return false;
    std::vector<uint32_t> now = after[i].text;
    now.insert(now.end(), after[i].eol.begin(), after[i].eol.end());
    return now.size() >= before[i].text.size() && std::equal(before[i].text.begin(), before[i].text.end(), now.begin());
}

// `after` is `before` without some of its lines, at least one, byte for
// byte (a CR that ends a kept line may now meet the LF that starts the next).
bool LinesRemoved(const std::vector<Line>& before, const std::vector<uint32_t>& after) {
    size_t at = 0, kept = 0;
    for (const Line& line : before) {
        std::vector<uint32_t> whole = line.text;
        whole.insert(whole.end(), line.eol.begin(), line.eol.end());
        if (at + whole.size() <= after.size() &&
            std::equal(whole.begin(), whole.end(), after.begin() + static_cast<long>(at))) {
            at += whole.size();
            ++kept;
        }
    }
    return at == after.size() && kept < before.size();
}

// `after` differs from `before` in at most one line's text.
bool OneLineChanged(const std::vector<Line>& before, const std::vector<Line>& after) {
    if (after.size() != before.size()) return false;
    int changed = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i].eol != after[i].eol) return false;
        if (before[i].text != after[i].text) ++changed;
    }
    return changed <= 1;
}

bool Has(std::string_view s, std::string_view chars) { return s.find_first_of(chars) != std::string_view::npos; }

// The blanks the system's reader trims.
std::string_view Trimmed(std::string_view s) {
    constexpr std::string_view kBlanks = " \t\n\v\f\r\x1A";
    const size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

// Names and values as the program writes them: one line each, a section
// without "]", a key without "=" that reads as neither a comment nor a
// header, a value without surrounding blanks or quotes (which a read
// removes).
bool Writable(const std::string& section, const std::string& key, const std::string& value) {
    if (Has(section, "]\r\n") || Has(key, "=\r\n") || Has(value, "\r\n")) return false;
    const std::string_view k = Trimmed(key);
    if (!k.empty() && (k.front() == ';' || k.front() == '[')) return false;
    if (Trimmed(value) != value) return false;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return false;
    }
    return true;
}

// Valid UTF-8, as every name the program passes is.
std::string Text(const uint8_t* begin, const uint8_t* end) {
    return quorvane::Utf16ToUtf8(quorvane::Utf8ToUtf16(std::string(begin, end)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvane;
    if (size == 0) return 0;
    const uint8_t op = data[0];
    const uint8_t* p = data + 1;
    const uint8_t* end = data + size;
    std::string fields[3];
    for (std::string& field : fields) {
        const uint8_t* stop = std::find(p, end, uint8_t{0});
        field = Text(p, stop);
        p = stop == end ? end : stop + 1;
    }
    const std::string& section = fields[0];
    const std::string& key = fields[1];
    const std::string& value = fields[2];
    Bytes file(p, end);
    if (op & 8) {
        Bytes wide = {0xFF, 0xFE};
        for (uint8_t b : file) {
            wide.push_back(b);
            wide.push_back(0);
        }
        if (op & 16) wide.push_back(op);
        file = std::move(wide);
    }
    const bool present = !(op & 4);
    if (!present) file.clear();

    test::FakePlatform platform;
    platform.AddFolder("C:\\f");
    if (present) platform.AddFile(kPath, file);
    const std::vector<Line> before = Lines(file);
    bool existed = false;
    {
        ProfileFile profile(platform, kPath);
        existed = profile.ReadValue(section, key, kMissing) != kMissing;
        switch (op & 3) {
        case 0:
            break;
        case 1:
            profile.WriteValue(section, key, value);
            break;
        case 2:
            profile.RemoveKey(section, key);
            break;
        default:
            break;
        }
    }
    const bool wrote = (op & 3) == 1;
    if (!wrote) {
        // Reads, removals and flushes never create a file.
        if (!present && platform.Exists(kPath)) std::abort();
        if (std::any_of(platform.log.begin(), platform.log.end(),
                        [](const std::string& entry) { return entry.rfind("write ", 0) == 0; })) {
            std::abort();
        }
    }
    const Bytes after = platform.Contents(kPath);
    // Reads and flushes change nothing; edits keep a lone last byte.
    if ((op & 3) != 1 && (op & 3) != 2 && after != file) std::abort();
    if (present && LoneByte(after) != LoneByte(file)) std::abort();
    if (!Writable(section, key, value)) return 0;

    ProfileFile check(platform, kPath);
    const std::string read = check.ReadValue(section, key, kMissing);
    const std::vector<Line> lines = Lines(after);
    if (wrote) {
        if (read != Utf8Prefix(value, kMaxValueLength)) std::abort();
        // A key line without "=" reads as missing and takes the value.
        if (!OneLineChanged(before, lines) &&
            (existed || (!LinesInserted(before, lines, 1) && !LinesInserted(before, lines, 2)))) {
            std::abort();
        }
    } else if ((op & 3) == 2) {
        if (read != kMissing) std::abort();
        // A key line without "=", which reads as missing, goes too.
        if (after != file ? !LinesRemoved(before, Units(after)) : existed) std::abort();
    }
    return 0;
}
