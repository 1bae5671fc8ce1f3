#include "ini_document.h"

#include <QStringDecoder>

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

// Blanks around an unquoted value are layout, as hand-edited files have
// them ("Degree = 51"); the writer quotes any value whose blanks count.
QString unescapeValue(QStringView text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.front() == u'"' && text.back() == u'"') {
        text = text.mid(1, text.size() - 2);
    }
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size()) {
            const QChar next = text[i + 1];
            if (next == u'\\' || next == u'n' || next == u'r') {
                out += next == u'n' ? QChar(u'\n') : next == u'r' ? QChar(u'\r') : QChar(u'\\');
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

bool isComment(QStringView trimmed)
{
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

}  // namespace

IniDocument IniDocument::parse(const QByteArray& bytes)
{
    IniDocument doc;
    QByteArrayView rest(bytes);
    if (rest.startsWith("\xEF\xBB\xBF")) {
        doc.byteOrderMark_ = true;
        rest = rest.sliced(3);
    }
    // Keys under a heading that could not be read have no known section.
    bool sectionKnown = true;
    QString section;
    qsizetype lineNumber = 0;
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView raw = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        ++lineNumber;
        Line line;
        if (raw.endsWith('\r')) {
            line.crlf = true;
            raw.chop(1);
        }
        if (lineNumber == 1) {
            doc.crlf_ = line.crlf;
        }
        const auto problem = [&](const QString& what) {
            doc.problems_ << QStringLiteral("line %1 %2").arg(lineNumber).arg(what);
        };
        const bool heading = raw.trimmed().startsWith('[');
        QStringDecoder decode(QStringDecoder::Utf8);
        line.text = decode(raw);
        if (raw.contains('\0') || decode.hasError()) {
            problem(raw.contains('\0') ? QStringLiteral("holds binary data") : QStringLiteral("is not UTF-8 text"));
            sectionKnown = sectionKnown && !heading;
            continue;
        }
        const QStringView trimmed = QStringView(line.text).trimmed();
        if (trimmed.isEmpty() || isComment(trimmed)) {
            doc.lines_.push_back(std::move(line));
            continue;
        }
        if (heading) {
            if (!trimmed.endsWith(u']') || trimmed.size() < 3) {
                problem(QStringLiteral("is not a complete [section] heading"));
                sectionKnown = false;
                continue;
            }
            section = trimmed.mid(1, trimmed.size() - 2).trimmed().toString();
            sectionKnown = true;
            line.kind = Kind::Section;
            line.section = section;
            doc.lines_.push_back(std::move(line));
            continue;
        }
        const qsizetype eq = line.text.indexOf(u'=');
        if (eq <= 0 || QStringView(line.text).left(eq).trimmed().isEmpty()) {
            problem(QStringLiteral("is neither a [section] heading nor a key=value line"));
            continue;
        }
        if (!sectionKnown) {
            problem(QStringLiteral("is under a heading that could not be read"));
            continue;
        }
        line.kind = Kind::Key;
        line.section = section;
        line.key = QStringView(line.text).left(eq).trimmed().toString();
        line.value = unescapeValue(QStringView(line.text).mid(eq + 1));
        doc.lines_.push_back(std::move(line));
    }
    return doc;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const
{
    for (auto it = lines_.rbegin(); it != lines_.rend(); ++it) {
        if (it->kind == Kind::Key && it->section == section && it->key == key) {
            return it->value;
        }
    }
    return std::nullopt;
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
    for (auto it = lines_.rbegin(); it != lines_.rend(); ++it) {
        if (it->kind == Kind::Key && it->section == section && it->key == key) {
            if (it->value != value) {
                it->text = key + u'=' + escapeValue(value);
                it->value = value;
            }
            return;
        }
    }
    Line line{Kind::Key, key + u'=' + escapeValue(value), section, key, value, false};
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
    Line heading{Kind::Section, u'[' + section + u']', section, {}, {}, false};
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
    QString out;
    if (byteOrderMark_) {
        out += QChar(0xFEFF);
    }
    for (const Line& line : lines_) {
        out += line.text;
        out += line.crlf ? QLatin1String("\r\n") : QLatin1String("\n");
    }
    return out.toUtf8();
}

}  // namespace skybrant::settings
