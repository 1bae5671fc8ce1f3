#include "ini_format.h"

#include <QIODevice>
#include <QStringConverter>
#include <QStringDecoder>

namespace skybrant::settings {

namespace {

QString lastError;

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

bool readDevice(QIODevice& device, QSettings::SettingsMap& map)
{
    lastError.clear();
    return readIni(device.readAll(), map, lastError);
}

bool writeDevice(QIODevice& device, const QSettings::SettingsMap& map)
{
    const QByteArray bytes = writeIni(map);
    return device.write(bytes) == bytes.size();
}

}  // namespace

QByteArray writeIni(const QSettings::SettingsMap& map)
{
    QString out;
    QString section;
    bool first = true;
    // The map is sorted, so each section's keys stand together; keys with
    // no section come first.
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        const QString keySection = slash < 0 ? QString() : it.key().left(slash);
        const QString key = slash < 0 ? it.key() : it.key().mid(slash + 1);
        if (first || keySection != section) {
            if (!keySection.isEmpty()) {
                if (!first) {
                    out += u'\n';
                }
                out += u'[' + keySection + QLatin1String("]\n");
            }
            section = keySection;
            first = false;
        }
        out += key + u'=' + escapeValue(it.value().toString()) + u'\n';
    }
    return out.toUtf8();
}

bool readIni(const QByteArray& bytes, QSettings::SettingsMap& map, QString& error)
{
    if (bytes.contains('\0')) {
        error = QStringLiteral("it holds binary data");
        return false;
    }
    QStringDecoder decode(QStringDecoder::Utf8);
    QString text = decode(bytes);
    if (decode.hasError()) {
        error = QStringLiteral("it is not UTF-8 text");
        return false;
    }
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    QString section;
    qsizetype lineNumber = 0;
    for (QStringView line : QStringView(text).split(u'\n')) {
        ++lineNumber;
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#')) {
            continue;
        }
        if (trimmed.startsWith(u'[')) {
            if (!trimmed.endsWith(u']') || trimmed.size() < 3) {
                error = QStringLiteral("line %1 is not a complete [section] heading").arg(lineNumber);
                return false;
            }
            section = trimmed.mid(1, trimmed.size() - 2).trimmed().toString();
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0 || line.left(eq).trimmed().isEmpty()) {
            error = QStringLiteral("line %1 is neither a [section] heading nor a key=value line").arg(lineNumber);
            return false;
        }
        const QString key = line.left(eq).trimmed().toString();
        map.insert(section.isEmpty() ? key : section + u'/' + key, unescapeValue(line.mid(eq + 1)));
    }
    return true;
}

QSettings::Format iniFormat()
{
    static const QSettings::Format format = QSettings::registerFormat(QStringLiteral("ini"), readDevice, writeDevice);
    return format;
}

QString lastIniReadError()
{
    return lastError;
}

}  // namespace skybrant::settings
