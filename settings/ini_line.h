#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace skybrant::settings {

// The reading of the settings file's lines, without Qt, so that the window
// (through IniDocument) and the command line read the same file alike.
//
// A line is read as stateless UTF-8 (a sequence cut off at the line's end
// is an error); a line holding a NUL byte or not UTF-8 text cannot be
// read. Blanks around headings, keys and unquoted values are layout; they
// are the characters Qt counts as spaces (tab to carriage return, space,
// U+0085, U+00A0 and the Unicode space, line and paragraph separators).
enum class IniLineKind { Other, Section, Key, Unreadable };

// The section the lines below a heading are in; known is false under a
// heading that could not be read.
struct IniSection {
    std::string name;
    bool known = true;
};

struct IniLine {
    IniLineKind kind = IniLineKind::Other;
    // A heading's name, or the section a key is in. An unreadable line
    // whose key could still be read keeps its section and key, so that a
    // save of that key can take its place.
    std::string section;
    std::string key;
    std::string value;  // unquoted and unescaped
    std::string problem;  // why it cannot be read ("is not UTF-8 text"); empty when it can
};

// Reads one line, without its line end, under current; a heading changes
// current.
IniLine readIniLine(std::string_view raw, IniSection& current);

// A file's bytes split at line feeds; a carriage return before one is part
// of the line end, and a byte order mark at the very start is not text.
struct IniTextLine {
    std::string_view raw;
    bool crlf = false;
};
struct IniText {
    bool byteOrderMark = false;
    std::vector<IniTextLine> lines;
};
IniText splitIniText(std::string_view bytes);

// What a reader tells of a line that cannot be read: "line 3 is not UTF-8
// text", lines counted from 1.
std::string iniProblem(std::size_t lineNumber, const std::string& problem);

}  // namespace skybrant::settings
