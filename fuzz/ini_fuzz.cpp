// The settings file: any bytes are read without harm; read and written
// back unchanged they give the same bytes; after a save every key that was
// read keeps its value, every key set holds what was set, and every line
// that could not be read stands again, byte for byte.

#include "fuzz_text.h"
#include "settings/ini_document.h"

#include <QByteArrayList>

#include <cstdint>

using skybrant::settings::IniDocument;

namespace {

// The file's lines as the reader splits them, without line ends or the
// file's byte order mark.
QByteArrayList linesOf(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
    }
    if (bytes.endsWith('\n')) {
        bytes.chop(1);
    }
    QByteArrayList lines = bytes.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) {
        return 0;
    }
    // The first byte picks what a save sets; the rest is the file.
    const unsigned pick = data[0];
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const IniDocument read = IniDocument::parse(bytes);
    if (bytes.isEmpty() || bytes.endsWith('\n')) {
        FUZZ_CHECK(read.toBytes() == bytes);
    }

    const QString sections[] = {QStringLiteral("Latitude"), QStringLiteral("Map"), QString()};
    const QString keys[] = {QStringLiteral("Degree"), QStringLiteral("Unit"), QStringLiteral("N/S")};
    const QString values[] = {QString(), QStringLiteral(" S "), QStringLiteral("a\\b\nc\r"), QStringLiteral("\"q\""),
        QStringLiteral("Jos\u00e9")};
    const QString section = sections[pick % 3];
    const QString key = keys[(pick / 3) % 3];
    const QString value = values[(pick / 9) % 5];

    IniDocument saved = read;
    saved.setValue(section, key, value);
    const QByteArray out = saved.toBytes();
    const IniDocument again = IniDocument::parse(out);

    FUZZ_CHECK(again.value(section, key) == value);
    for (const auto& [s, k] : read.keys()) {
        if (s != section || k != key) {
            FUZZ_CHECK(again.value(s, k) == read.value(s, k));
        }
    }
    // Each line that could not be read stands again, unless it held the
    // key that was set and gave way to it.
    const QByteArrayList before = linesOf(bytes);
    const QByteArrayList after = linesOf(out);
    for (const QString& problem : read.problems()) {
        const qsizetype number = problem.section(u' ', 1, 1).toLongLong();
        FUZZ_CHECK(number >= 1 && number <= before.size());
        const QByteArray& line = before[number - 1];
        const QByteArray lineKey = line.left(line.indexOf('=')).trimmed();
        if (!after.contains(line)) {
            FUZZ_CHECK(line.contains('=') && QString::fromUtf8(lineKey) == key);
        }
    }
    return 0;
}
