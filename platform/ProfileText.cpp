#include "platform/ProfileText.h"

#include <algorithm>

#include "platform/Utf.h"

namespace quorvane {
namespace {

// The file is read as the shell reads it, through the system's profile
// reader (GetPrivateProfileStringW; the Wine-layer tests compare the two
// key by key): lines end at a CR, an LF or both; the blanks trimmed are
// tab to CR, ^Z (a DOS end of file) and space; a header is a line that
// starts with "[" and holds a "]", its name what the last "]" closes;
// names count up to a NUL in them, and a value ends at one.
bool IsBlank(char c) { return (c >= '\t' && c <= '\r') || c == '\x1A' || c == ' '; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view UpToNul(std::string_view s) { return s.substr(0, s.find('\0')); }

struct Line {
    size_t begin;    // first byte of the line
    size_t end;      // one past its last byte, before the terminator
    size_t next;     // first byte of the following line
};

// A file's text in an ASCII-compatible 8-bit form (ANSI bytes, or UTF-8
// for a UTF-16 file), split into lines that keep their terminators.
class IniText {
public:
    explicit IniText(std::string text) : text_(std::move(text)) { Split(); }

    const std::string& text() const { return text_; }

    std::optional<std::string> Lookup(std::string_view section, std::string_view key) const {
        const size_t header = FindSection(section);
        if (header == kNone) return std::nullopt;
        const size_t line = FindKey(header, key);
        // A key line without "=" is the key, without a value: the default.
        if (line == kNone || KeyEnd(line) == kNone) return std::nullopt;
        std::string_view value = UpToNul(Trim(LineText(line).substr(KeyEnd(line) + 1)));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        return std::string(value);
    }

    void Set(std::string_view section, std::string_view key, std::string_view value) {
        const std::string eol = Eol();
        const size_t header = FindSection(section);
        if (header == kNone) {
            std::string add;
            if (!text_.empty() && text_.back() != '\n' && text_.back() != '\r') add += eol;
            add += "[" + std::string(section) + "]" + eol + std::string(key) + "=" +
                   std::string(value) + eol;
            text_ += add;
        } else if (const size_t line = FindKey(header, key); line != kNone) {
            const Line& l = lines_[line];
            const std::string name(Trim(LineText(line).substr(0, KeyEnd(line))));
            text_.replace(l.begin, l.end - l.begin, name + "=" + std::string(value));
        } else {
            // After the section's last key, so blank lines and comments that
            // lead to the next section stay with it.
            size_t last = header;
            for (size_t i = header + 1; i < lines_.size() && !IsHeader(i); ++i) {
                if (KeyEnd(i) != kNone) last = i;
            }
            const Line& l = lines_[last];
            std::string insert = std::string(key) + "=" + std::string(value) + eol;
            if (l.next == l.end) insert = eol + insert;  // the last line had no terminator
            // A CR before an LF would take the LF's line into the new one.
            if (insert.back() == '\r' && text_.compare(l.next, 1, "\n") == 0) insert += '\n';
            text_.insert(l.next, insert);
        }
        Split();
    }

    // Every line of the key in its section: a second one would read as its
    // value. One pass, each kept byte copied once, however many copies the
    // section holds.
    bool Remove(std::string_view section, std::string_view key) {
        const size_t header = FindSection(section);
        if (header == kNone) return false;
        std::string kept;
        size_t copied = 0;  // the text before this is in `kept` or removed
        for (size_t i = header + 1; i < lines_.size() && !IsHeader(i); ++i) {
            if (!IsKey(i, key)) continue;
            kept.append(text_, copied, lines_[i].begin - copied);
            copied = lines_[i].next;
        }
        if (copied == 0) return false;
        kept.append(text_, copied);
        text_ = std::move(kept);
        Split();
        return true;
    }

private:
    static constexpr size_t kNone = static_cast<size_t>(-1);

    // CR LF ends a line, and so does a CR or an LF alone.
    void Split() {
        lines_.clear();
        for (size_t pos = 0; pos < text_.size();) {
            const size_t end = text_.find_first_of("\r\n", pos);
            if (end == std::string::npos) {
                lines_.push_back({pos, text_.size(), text_.size()});
                break;
            }
            const size_t next = end + (text_.compare(end, 2, "\r\n") == 0 ? 2 : 1);
            lines_.push_back({pos, end, next});
            pos = next;
        }
    }

    std::string_view LineText(size_t i) const {
        return std::string_view(text_).substr(lines_[i].begin, lines_[i].end - lines_[i].begin);
    }

    // The file's own line ending, that of its first line.
    std::string Eol() const {
        if (lines_.empty() || lines_[0].next == lines_[0].end) return "\r\n";
        return text_.substr(lines_[0].end, lines_[0].next - lines_[0].end);
    }

    // "[" without a "]" is no header: the system reads the line as a key
    // of the section before it.
    bool IsHeader(size_t i) const {
        const std::string_view t = Trim(LineText(i));
        return !t.empty() && t.front() == '[' && t.find(']') != std::string_view::npos;
    }

    std::string_view HeaderName(size_t i) const {
        const std::string_view t = Trim(LineText(i));
        return UpToNul(Trim(t.substr(1, t.rfind(']') - 1)));
    }

    // Offset of the "=" within the line, or kNone for a line that is not a
    // key (a comment or a line without "=").
    size_t KeyEnd(size_t i) const {
        const std::string_view t = LineText(i);
        const std::string_view trimmed = Trim(t);
        if (trimmed.empty() || trimmed.front() == ';') return kNone;
        return t.find('=');
    }

    size_t FindSection(std::string_view name) const {
        for (size_t i = 0; i < lines_.size(); ++i) {
            if (IsHeader(i) && EqualsNoCase(HeaderName(i), Trim(name))) return i;
        }
        return kNone;
    }

    // A line names a key with or without "=" (comments aside, names the
    // program never asks for), as the system reads it.
    bool IsKey(size_t i, std::string_view key) const {
        const std::string_view t = Trim(LineText(i));
        if (t.empty() || t.front() == ';') return false;
        return EqualsNoCase(UpToNul(Trim(t.substr(0, t.find('=')))), Trim(key));
    }

    size_t FindKey(size_t header, std::string_view key) const {
        for (size_t i = header + 1; i < lines_.size() && !IsHeader(i); ++i) {
            if (IsKey(i, key)) return i;
        }
        return kNone;
    }

    std::string text_;
    std::vector<Line> lines_;
};

// How the file is stored, as Windows' profile reader tells it: UTF-16
// little-endian with its mark is Unicode; every other file is 8-bit text
// in the ANSI code page, byte for byte, whatever mark it begins with (a
// UTF-8 mark is three bytes of the first line, so a header there is not
// seen). Wine 8 also takes a UTF-8 mark and UTF-16 big-endian; the shell
// on Windows does not.
enum class Form { kAnsi, kUtf16 };

Form FormOf(const Bytes& file) {
    return file.size() >= 2 && file[0] == 0xFF && file[1] == 0xFE ? Form::kUtf16 : Form::kAnsi;
}

// A UTF-16 file's text as UTF-8, its lone surrogates kept for the rewrite.
// A lone last byte of a file of odd length is no unit; it is kept aside.
std::string Utf16FileToText(const Bytes& file) {
    std::u16string wide;
    wide.reserve(file.size() / 2);
    for (size_t i = 2; i + 1 < file.size(); i += 2) wide += static_cast<char16_t>(file[i] | (file[i + 1] << 8));
    return Utf16ToUtf8(wide, LoneSurrogates::kKeep);
}

Bytes TextToUtf16File(std::string_view text, std::optional<uint8_t> oddByte) {
    const std::u16string wide = Utf8ToUtf16(text, LoneSurrogates::kKeep);
    Bytes out;
    out.reserve(3 + wide.size() * 2);
    for (const char16_t c : std::u16string(1, u'\xFEFF') + wide) {
        out.push_back(static_cast<uint8_t>(c & 0xFF));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    if (oddByte) out.push_back(*oddByte);
    return out;
}

// The file's text, the names converted to its form, and how to write it
// back. `upgrade` asks for UTF-16 when the 8-bit form cannot hold the names.
struct Working {
    Form form = Form::kAnsi;
    bool representable = true;
    std::optional<uint8_t> oddByte;  // a UTF-16 file's lone last byte, kept at the end
    std::string section, key, value;
    std::string text;
};

Working Prepare(const Bytes& file, std::string_view section, std::string_view key,
                std::string_view value, const AnsiCodec& codec, bool upgrade) {
    Working w;
    w.form = FormOf(file);
    if (w.form == Form::kAnsi) {
        w.representable = codec.FromUtf8(section, w.section) && codec.FromUtf8(key, w.key) &&
                          codec.FromUtf8(value, w.value);
        if (w.representable || !upgrade) {
            w.text.assign(file.begin(), file.end());
            return w;
        }
        w.form = Form::kUtf16;
        w.representable = true;
        w.text = codec.ToUtf8(std::string(file.begin(), file.end()));
    } else {
        w.text = Utf16FileToText(file);
        if (file.size() % 2 != 0) w.oddByte = file.back();
    }
    w.section = section;
    w.key = key;
    w.value = value;
    return w;
}

Bytes Finish(const Working& w, const IniText& ini) {
    if (w.form == Form::kUtf16) return TextToUtf16File(ini.text(), w.oddByte);
    return Bytes(ini.text().begin(), ini.text().end());
}

}  // namespace

std::optional<std::string> ProfileLookup(const Bytes& file, std::string_view section,
                                         std::string_view key, const AnsiCodec& codec) {
    Working w = Prepare(file, section, key, {}, codec, false);
    if (!w.representable) return std::nullopt;  // no such name can be in an 8-bit file
    const IniText ini(std::move(w.text));
    auto value = ini.Lookup(w.section, w.key);
    // UTF-16 units that are no character stay, as the system reads them
    // (a path to a folder whose name holds one).
    if (!value || w.form == Form::kUtf16) return value;
    return codec.ToUtf8(*value);
}

Bytes ProfileWithValue(const Bytes& file, std::string_view section, std::string_view key,
                       std::string_view value, const AnsiCodec& codec) {
    Working w = Prepare(file, section, key, value, codec, true);
    IniText ini(std::move(w.text));
    ini.Set(w.section, w.key, w.value);
    return Finish(w, ini);
}

std::optional<Bytes> ProfileWithoutKey(const Bytes& file, std::string_view section,
                                       std::string_view key, const AnsiCodec& codec) {
    Working w = Prepare(file, section, key, {}, codec, false);
    if (!w.representable) return std::nullopt;
    IniText ini(std::move(w.text));
    if (!ini.Remove(w.section, w.key)) return std::nullopt;
    return Finish(w, ini);
}

std::optional<Bytes> ProfileWithChanges(const Bytes& file, const std::vector<ProfileChange>& changes,
                                        const AnsiCodec& codec) {
    std::optional<Bytes> edited;
    for (const ProfileChange& change : changes) {
        const Bytes& current = edited ? *edited : file;
        if (change.value) {
            edited = ProfileWithValue(current, change.section, change.key, *change.value, codec);
        } else if (auto without = ProfileWithoutKey(current, change.section, change.key, codec)) {
            edited = std::move(*without);
        }
    }
    return edited;
}

}  // namespace quorvane
