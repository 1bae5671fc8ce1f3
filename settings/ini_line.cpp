#include "ini_line.h"

#include "core/utf8.h"

namespace skybrant::settings {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// The characters QString::trimmed takes off, so that files the window
// reads and writes through Qt read the same here.
bool isSpace(char32_t c)
{
    if ((c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680) {
        return true;
    }
    return (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

bool wellFormed(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t length = utf8Length(text);
        if (length == 0) {
            return false;
        }
        text.remove_prefix(length);
    }
    return true;
}

// Well-formed text without the spaces at either end.
std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isSpace(utf8Decode(text.substr(0, utf8Length(text))))) {
        text.remove_prefix(utf8Length(text));
    }
    while (!text.empty()) {
        std::size_t start = text.size() - 1;
        while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) {
            --start;
        }
        if (!isSpace(utf8Decode(text.substr(start)))) {
            break;
        }
        text.remove_suffix(text.size() - start);
    }
    return text;
}

bool startsHeading(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\n\v\f\r");
    return first != std::string_view::npos && text[first] == '[';
}

// Blanks around an unquoted value are layout, as hand-edited files have
// them ("Degree = 51"); the writer quotes any value whose blanks count.
std::string unescapeValue(std::string_view text)
{
    text = trimmed(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text = text.substr(1, text.size() - 2);
    }
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (next == '\\' || next == 'n' || next == 'r') {
                out += next == 'n' ? '\n' : next == 'r' ? '\r' : '\\';
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The text before a line's first '=', where a key stands: a byte order
// mark that starts it is not part of it.
std::string_view keyText(std::string_view said)
{
    const auto eq = said.find('=');
    std::string_view text = eq == std::string_view::npos ? std::string_view() : said.substr(0, eq);
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    return text;
}

}  // namespace

IniLine readIniLine(std::string_view raw, IniSection& current)
{
    IniLine line;
    // A U+FEFF starting a line (two files joined with cat) says nothing.
    std::string_view said = raw;
    if (said.starts_with(kByteOrderMark)) {
        said.remove_prefix(kByteOrderMark.size());
    }
    const bool heading = startsHeading(said);
    const std::string_view keyAt = keyText(said);
    if (raw.find('\0') != std::string_view::npos) {
        line.problem = "holds binary data";
    } else if (!wellFormed(raw)) {
        line.problem = "is not UTF-8 text";
    }
    if (!line.problem.empty()) {
        line.kind = IniLineKind::Unreadable;
        if (heading) {
            current.known = false;
        } else if (current.known && wellFormed(keyAt) && keyAt.find(kReplacementCharacter) == std::string_view::npos) {
            // Its key is still known: a save of that key takes this line's place.
            line.section = current.name;
            line.key = trimmed(keyAt);
        }
        return line;
    }
    const std::string_view text = trimmed(said);
    if (text.empty() || text.front() == ';' || text.front() == '#') {
        return line;
    }
    if (heading) {
        if (text.back() != ']' || text.size() < 3) {
            current.known = false;
            line.kind = IniLineKind::Unreadable;
            line.problem = "is not a complete [section] heading";
            return line;
        }
        current = {std::string(trimmed(text.substr(1, text.size() - 2))), true};
        line.kind = IniLineKind::Section;
        line.section = current.name;
        return line;
    }
    const std::string_view key = trimmed(keyAt);
    if (key.empty()) {
        line.kind = IniLineKind::Unreadable;
        line.problem = "is neither a [section] heading nor a key=value line";
        return line;
    }
    if (!current.known) {
        line.kind = IniLineKind::Unreadable;
        line.problem = "is under a heading that could not be read";
        return line;
    }
    line.kind = IniLineKind::Key;
    line.section = current.name;
    line.key = key;
    line.value = unescapeValue(said.substr(said.find('=') + 1));
    return line;
}

IniText splitIniText(std::string_view bytes)
{
    IniText text;
    if (bytes.starts_with(kByteOrderMark)) {
        text.byteOrderMark = true;
        bytes.remove_prefix(kByteOrderMark.size());
    }
    while (!bytes.empty()) {
        const auto end = bytes.find('\n');
        IniTextLine line{bytes.substr(0, end)};
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
        line.crlf = line.raw.ends_with('\r');
        if (line.crlf) {
            line.raw.remove_suffix(1);
        }
        text.lines.push_back(line);
    }
    return text;
}

std::string iniProblem(std::size_t lineNumber, const std::string& problem)
{
    return "line " + std::to_string(lineNumber) + ' ' + problem;
}

}  // namespace skybrant::settings
