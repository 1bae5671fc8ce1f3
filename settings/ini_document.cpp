#include "ini_document.h"

#include <QStringDecoder>

#include <algorithm>

namespace skybrant::settings {

namespace {

QString escapeValue(const QString& value)
{
    QString out;
    out.reserve(value.size() + 2);
    for (const QChar c : value) {
        if (c == u'\\') {
            out += QLatin1String("\\\\");
        } else if (c == u'\n') {
            out += QLatin1String("\\n");
        } else if (c == u'\r') {
            out += QLatin1String("\\r");
        } else {
            out += c;
        }
    }
    const bool quote = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace() || value.front() == u'"');
    return quote ? u'"' + out + u'"' : out;
}

bool isComment(QStringView trimmed)
{
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

}  // namespace

std::string IniDocument::readLine(std::string_view raw, Line& line, IniSection& current)
{
    const QByteArrayView bytes(raw.data(), static_cast<qsizetype>(raw.size()));
    line.raw = bytes.toByteArray();
    line.asRead = true;
    // Stateless, so that a sequence cut off at the line's end shows as an
    // error rather than being held back for more; a U+FEFF stays text.
    QStringDecoder decode(
        QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    line.text = decode(bytes);
    const IniLine read = readIniLine(raw, current);
    // QString::fromUtf8 would drop a U+FEFF that starts a value or key.
    const auto text = [](const std::string& s) {
        QStringDecoder keep(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return QString(keep(QByteArrayView(s.data(), static_cast<qsizetype>(s.size()))));
    };
    line.kind = read.kind;
    line.section = text(read.section);
    line.key = text(read.key);
    line.value = text(read.value);
    return read.problem;
}

IniDocument IniDocument::parse(const QByteArray& bytes)
{
    IniDocument doc;
    const IniText text = splitIniText({bytes.constData(), static_cast<std::size_t>(bytes.size())});
    doc.byteOrderMark_ = text.byteOrderMark;
    IniSection current;
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        Line line;
        line.crlf = text.lines[i].crlf;
        if (i == 0) {
            doc.crlf_ = line.crlf;
        }
        const std::string problem = readLine(text.lines[i].raw, line, current);
        if (!problem.empty()) {
            doc.problems_ << QString::fromStdString(iniProblem(i + 1, problem));
        }
        doc.lines_.push_back(std::move(line));
    }
    return doc;
}

std::optional<std::size_t> IniDocument::find(const QString& section, const QString& key) const
{
    const auto it = std::find_if(lines_.rbegin(), lines_.rend(),
        [&](const Line& l) { return l.kind == Kind::Key && l.section == section && l.key == key; });
    if (it == lines_.rend()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(lines_.rend() - it) - 1;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const
{
    if (const auto at = find(section, key)) {
        return lines_[*at].value;
    }
    return std::nullopt;
}

std::vector<std::pair<QString, QString>> IniDocument::keys() const
{
    std::vector<std::pair<QString, QString>> out;
    for (const Line& l : lines_) {
        if (l.kind == Kind::Key) {
            out.emplace_back(l.section, l.key);
        }
    }
    return out;
}

bool IniDocument::unreadable(const QString& section, const QString& key) const
{
    return !find(section, key) && std::any_of(lines_.begin(), lines_.end(), [&](const Line& l) {
        return l.kind == Kind::Unreadable && !l.key.isEmpty() && l.section == section && l.key == key;
    });
}

std::optional<std::pair<std::size_t, std::size_t>> IniDocument::block(const QString& section) const
{
    std::size_t begin = 0;
    if (!section.isEmpty()) {
        while (begin < lines_.size() && !(lines_[begin].kind == Kind::Section && lines_[begin].section == section)) {
            ++begin;
        }
        if (begin == lines_.size()) {
            return std::nullopt;
        }
        ++begin;
    }
    std::size_t end = begin;
    while (end < lines_.size() && lines_[end].kind != Kind::Section) {
        ++end;
    }
    return std::pair{begin, end};
}

void IniDocument::insertLine(std::size_t at, Line line)
{
    line.crlf = crlf_;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value)
{
    if (const auto at = find(section, key)) {
        Line& line = lines_[*at];
        if (line.value != value) {
            // A U+FEFF that started the line stays where it was.
            const bool mark = line.text.startsWith(QChar(0xFEFF));
            line.text = (mark ? QString(QChar(0xFEFF)) : QString()) + key + u'=' + escapeValue(value);
            line.value = value;
            line.asRead = false;
        }
        return;
    }
    Line line{Kind::Key, {}, false, key + u'=' + escapeValue(value), section, key, value, false};
    // The user set what a line that could not be read held: this takes its
    // place, and every other such line stays.
    const auto unread = std::find_if(lines_.rbegin(), lines_.rend(),
        [&](const Line& l) { return l.kind == Kind::Unreadable && l.section == section && l.key == key; });
    if (unread != lines_.rend() && !unread->key.isEmpty()) {
        line.crlf = unread->crlf;
        *unread = std::move(line);
        return;
    }
    if (const auto range = block(section)) {
        auto [at, end] = *range;
        // Before the first key that sorts after it, else after the last key.
        for (std::size_t i = range->first; i < end; ++i) {
            if (lines_[i].kind != Kind::Key) {
                continue;
            }
            if (key < lines_[i].key) {
                at = i;
                break;
            }
            at = i + 1;
        }
        insertLine(at, std::move(line));
        return;
    }
    insertSection(std::move(line));
}

void IniDocument::insertSection(Line line)
{
    const QString& section = line.section;
    Line heading{Kind::Section, {}, false, u'[' + section + u']', section, {}, {}, false};
    std::size_t at = 0;
    while (at < lines_.size() && !(lines_[at].kind == Kind::Section && section < lines_[at].section)) {
        ++at;
    }
    if (at < lines_.size()) {
        // Before the section that sorts after it, and before the comments
        // that introduce that section.
        while (at > 0 && lines_[at - 1].kind == Kind::Other && isComment(QStringView(lines_[at - 1].text).trimmed())) {
            --at;
        }
        insertLine(at, Line{});
        insertLine(at, std::move(line));
        insertLine(at, std::move(heading));
        if (at > 0 && !lines_[at - 1].text.trimmed().isEmpty()) {
            insertLine(at, Line{});
        }
        return;
    }
    if (!lines_.empty() && !lines_.back().text.trimmed().isEmpty()) {
        insertLine(lines_.size(), Line{});
    }
    insertLine(lines_.size(), std::move(heading));
    insertLine(lines_.size(), std::move(line));
}

QByteArray IniDocument::toBytes() const
{
    QByteArray out;
    if (byteOrderMark_) {
        out += "\xEF\xBB\xBF";
    }
    for (const Line& line : lines_) {
        out += line.asRead ? line.raw : line.text.toUtf8();
        out += line.crlf ? QByteArrayView("\r\n") : QByteArrayView("\n");
    }
    return out;
}

}  // namespace skybrant::settings
