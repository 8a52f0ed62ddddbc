#include "platform/ProfileText.h"

#include "platform/Utf.h"

namespace quorvane {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

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
        if (line == kNone) return std::nullopt;
        std::string_view value = Trim(LineText(line).substr(KeyEnd(line) + 1));
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
            if (!text_.empty() && text_.back() != '\n') add += eol;
            add += "[" + std::string(section) + "]" + eol + std::string(key) + "=" +
                   std::string(value) + eol;
            text_ += add;
        } else if (const size_t line = FindKey(header, key); line != kNone) {
            const Line& l = lines_[line];
            const std::string name(text_.substr(l.begin, KeyEnd(line)));
            text_.replace(l.begin, l.end - l.begin, std::string(Trim(name)) + "=" + std::string(value));
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

    void Split() {
        lines_.clear();
        size_t pos = 0;
        while (pos < text_.size()) {
            const size_t nl = text_.find('\n', pos);
            if (nl == std::string::npos) {
                lines_.push_back({pos, text_.size(), text_.size()});
                break;
            }
            size_t end = nl;
            if (end > pos && text_[end - 1] == '\r') --end;
            lines_.push_back({pos, end, nl + 1});
            pos = nl + 1;
        }
    }

    std::string_view LineText(size_t i) const {
        return std::string_view(text_).substr(lines_[i].begin, lines_[i].end - lines_[i].begin);
    }

    std::string Eol() const {
        const size_t nl = text_.find('\n');
        if (nl != std::string::npos && (nl == 0 || text_[nl - 1] != '\r')) return "\n";
        return "\r\n";
    }

    bool IsHeader(size_t i) const {
        const std::string_view t = Trim(LineText(i));
        return !t.empty() && t.front() == '[';
    }

    std::string_view HeaderName(size_t i) const {
        std::string_view t = Trim(LineText(i)).substr(1);
        const size_t close = t.find(']');
        if (close != std::string_view::npos) t = t.substr(0, close);
        return Trim(t);
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

    bool IsKey(size_t i, std::string_view key) const {
        const size_t eq = KeyEnd(i);
        return eq != kNone && EqualsNoCase(Trim(LineText(i).substr(0, eq)), Trim(key));
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

constexpr uint8_t kBom0 = 0xFF, kBom1 = 0xFE;

bool IsUtf16(const Bytes& file) { return file.size() >= 2 && file[0] == kBom0 && file[1] == kBom1; }

// A UTF-16 file's text as UTF-8, its lone surrogates kept for the rewrite.
std::string Utf16FileToText(const Bytes& file) {
    std::u16string wide;
    wide.reserve(file.size() / 2);
    for (size_t i = 2; i + 1 < file.size(); i += 2) {
        wide += static_cast<char16_t>(file[i] | (file[i + 1] << 8));
    }
    return Utf16ToUtf8(wide, LoneSurrogates::kKeep);
}

Bytes TextToUtf16File(std::string_view text) {
    const std::u16string wide = Utf8ToUtf16(text, LoneSurrogates::kKeep);
    Bytes out;
    out.reserve(2 + wide.size() * 2);
    out.push_back(kBom0);
    out.push_back(kBom1);
    for (char16_t c : wide) {
        out.push_back(static_cast<uint8_t>(c & 0xFF));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    return out;
}

// The file's text, the names converted to its form, and how to write it
// back. `upgrade` asks for UTF-16 when the 8-bit form cannot hold the names.
struct Working {
    bool utf16 = false;
    bool representable = true;
    std::string section, key, value;
    std::string text;
};

Working Prepare(const Bytes& file, std::string_view section, std::string_view key,
                std::string_view value, const AnsiCodec& codec, bool upgrade) {
    Working w;
    w.utf16 = IsUtf16(file);
    if (!w.utf16) {
        w.representable = codec.FromUtf8(section, w.section) && codec.FromUtf8(key, w.key) &&
                          codec.FromUtf8(value, w.value);
        if (w.representable || !upgrade) {
            w.text.assign(file.begin(), file.end());
            return w;
        }
        w.utf16 = true;
        w.representable = true;
        w.text = codec.ToUtf8(std::string(file.begin(), file.end()));
    } else {
        w.text = Utf16FileToText(file);
    }
    w.section = section;
    w.key = key;
    w.value = value;
    return w;
}

Bytes Finish(const Working& w, const IniText& ini) {
    if (w.utf16) return TextToUtf16File(ini.text());
    return Bytes(ini.text().begin(), ini.text().end());
}

}  // namespace

std::optional<std::string> ProfileLookup(const Bytes& file, std::string_view section,
                                         std::string_view key, const AnsiCodec& codec) {
    Working w = Prepare(file, section, key, {}, codec, false);
    if (!w.representable) return std::nullopt;  // no such name can be in an 8-bit file
    const IniText ini(std::move(w.text));
    auto value = ini.Lookup(w.section, w.key);
    if (value) value = w.utf16 ? Utf16ToUtf8(Utf8ToUtf16(*value, LoneSurrogates::kKeep)) : codec.ToUtf8(*value);
    return value;
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

}  // namespace quorvane
