#pragma once

#include "ini_line.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace skybrant::settings {

// The settings file as its lines, so that a save changes only the values
// it sets and keeps everything else where it stands: comments, blank lines,
// keys outside any section, and the sections and keys of other features.
//
// The format is plain INI that stays readable and editable by hand. A value
// is written as "Key=value" under "[Section]"; the key may hold slashes
// ("N/S=N"). Values are exact texts: backslash, line feed and carriage
// return are escaped as \\, \n and \r, and a value with blanks at either
// end, or starting with a quote, is put in double quotes. Lines starting
// with ';' or '#' are comments.
class IniDocument {
public:
    // Reads a file's bytes. A line that cannot be read (not UTF-8 text, a
    // NUL byte, neither a [section], a key=value pair, a comment nor blank)
    // is named in problems(), together with the keys under a heading that
    // could not be read; the rest is read as usual. Every line, read or
    // not, is kept byte for byte until a save sets a value in its place.
    static IniDocument parse(const QByteArray& bytes);

    // The value of section/key (the last one, if the key is there twice);
    // an empty section means the keys above the first heading.
    std::optional<QString> value(const QString& section, const QString& key) const;

    // Whether section/key stands only on lines that could not be read (as
    // "Name=Jos\xe9" does), so that its value is unknown rather than absent.
    bool unreadable(const QString& section, const QString& key) const;

    // Sets section/key. An existing line keeps its place, and is left as
    // written when it already holds the value; a key that stands only on a
    // line that could not be read takes that line's place. A new key goes
    // into its section in alphabetical order, a new section likewise among
    // the others, so a file made from nothing lists them sorted.
    void setValue(const QString& section, const QString& key, const QString& value);

    QByteArray toBytes() const;

    // "line 3 is not UTF-8 text", one entry per line that could not be read.
    const QStringList& problems() const { return problems_; }

    // Every key that was read or set, as section and key, in the file's
    // order; a key there twice is listed twice.
    std::vector<std::pair<QString, QString>> keys() const;

private:
    // Unreadable: kept as its bytes; its section and key are known when
    // the text before its '=' could be read under a heading that could.
    using Kind = IniLineKind;
    struct Line {
        Kind kind = Kind::Other;
        QByteArray raw;  // as read, without its line end
        bool asRead = false;  // written back as raw, byte for byte
        QString text;  // raw decoded, or as set
        QString section;  // a heading's name, or the section a key is in
        QString key;
        QString value;
        bool crlf = false;
    };

    // Reads one line into line; returns why it cannot be read, or nothing.
    static std::string readLine(std::string_view raw, Line& line, IniSection& current);
    // The line that holds section/key (the last, if there are more).
    std::optional<std::size_t> find(const QString& section, const QString& key) const;
    // The first line of section's block (just past its heading) and one
    // past its last line; nullopt when there is no such section.
    std::optional<std::pair<std::size_t, std::size_t>> block(const QString& section) const;
    void insertLine(std::size_t at, Line line);
    // A key line of a section the file does not have yet, with its heading
    // in alphabetical order among the others.
    void insertSection(Line line);

    std::vector<Line> lines_;
    QStringList problems_;
    bool byteOrderMark_ = false;  // at the very start of the file
    bool crlf_ = false;  // the file's own line end, for lines it gains
};

}  // namespace skybrant::settings
