// The settings file's format: what is read from a hand-edited or damaged
// file, and what a save changes.

#include "settings/ini_document.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

namespace skybrant::settings {
namespace {

TEST(IniDocument, ReadsHandEditedFilesAndReportsUnreadableLines)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* section;
        const char* key;
        const char* value;  // nullptr: absent
        const char* problem;  // nullptr: none
    };
    const Case cases[] = {
        {"blanks around key and value", "[Latitude]\nDegree = 51 \n", "Latitude", "Degree", "51", nullptr},
        {"CRLF line ends", "[Latitude]\r\nN/S=S\r\n", "Latitude", "N/S", "S", nullptr},
        {"BOM, comments and a quoted value", "\xEF\xBB\xBF; saved by hand\n\n# note\n[Longitude]\nE/W=\" W \"\n",
            "Longitude", "E/W", " W ", nullptr},
        {"empty value", "[Longitude]\nMinute=\n", "Longitude", "Minute", "", nullptr},
        {"escapes", "[Latitude]\nSecond=a\\\\b\\nc\n", "Latitude", "Second", "a\\b\nc", nullptr},
        {"key above any section", "Theme=dark\n[Latitude]\nDegree=1\n", "", "Theme", "dark", nullptr},
        {"last of a repeated key", "[Latitude]\nDegree=1\nDegree=2\n", "Latitude", "Degree", "2", nullptr},
        {"NUL bytes on one line", QByteArray("[Latitude]\nMinute=4\nDegree=5\0\0\0", 30), "Latitude", "Minute", "4",
            "line 3 holds binary data"},
        {"one bad byte spares the other lines", "[Latitude]\nDegree=\xff\xfe\nMinute=30\n", "Latitude", "Minute", "30",
            "line 2 is not UTF-8 text"},
        {"the bad line's own key is absent", "[Latitude]\nDegree=\xff\n", "Latitude", "Degree", nullptr,
            "line 2 is not UTF-8 text"},
        {"keys under a broken heading", "[Latit\nDegree=5\n", "Latitude", "Degree", nullptr,
            "line 1 is not a complete [section] heading"},
        {"a line of words", "just some words\n[Latitude]\nDegree=5\n", "Latitude", "Degree", "5",
            "line 1 is neither a [section] heading nor a key=value line"},
        {"no key", "[Latitude]\n=5\n", "Latitude", "", nullptr,
            "line 2 is neither a [section] heading nor a key=value line"},
        {"a Latin-1 letter ending a line", "[Rotator]\nPreset1Name=Jos\xe9\n", "Rotator", "Preset1Name", nullptr,
            "line 2 is not UTF-8 text"},
        {"a Latin-1 letter ending the file", "[Rotator]\nPreset1Name=Jos\xe9", "Rotator", "Preset1Name", nullptr,
            "line 2 is not UTF-8 text"},
        {"a U+FEFF starting a later heading", "[Latitude]\nDegree=1\n\xEF\xBB\xBF[Map]\nUnit=mi\n", "Map", "Unit", "mi",
            nullptr},
        {"a U+FEFF starting a later key", "[Map]\n\xEF\xBB\xBFUnit=mi\n", "Map", "Unit", "mi", nullptr},
        // Blanks are what Qt trims: U+00A0, U+3000, U+200A, U+0085, ...
        {"Unicode blanks around key and value",
            "[Latitude]\n\xC2\xA0"
            "Degree\xE3\x80\x80=\xE2\x80\x8A"
            "51\xC2\x85\n",
            "Latitude", "Degree", "51", nullptr},
        {"Unicode blanks inside a heading", "[\xE3\x80\x80Map\xE1\x9A\x80]\nUnit=mi\n", "Map", "Unit", "mi", nullptr},
        {"a zero-width space is no blank",
            "[Latitude]\nDegree=\xE2\x80\x8B"
            "5\n",
            "Latitude", "Degree",
            "\xE2\x80\x8B"
            "5",
            nullptr},
        {"a U+FEFF starting a value stays", "[Map]\nUnit=\xEF\xBB\xBFmi\n", "Map", "Unit", "\xEF\xBB\xBFmi", nullptr},
        {"a Unicode blank before a heading makes no heading", "\xC2\xA0[Map]\nUnit=mi\n", "", "Unit", "mi",
            "line 1 is neither a [section] heading nor a key=value line"},
        {"a surrogate encoded in UTF-8", "[Map]\nUnit=\xED\xA0\x80\n", "Map", "Unit", nullptr,
            "line 2 is not UTF-8 text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto doc = IniDocument::parse(c.bytes);
        const auto v = doc.value(QLatin1String(c.section), QLatin1String(c.key));
        if (c.value == nullptr) {
            EXPECT_FALSE(v.has_value());
        } else {
            // Decoded keeping a U+FEFF at the start, as QString::fromUtf8 would not.
            QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
            EXPECT_EQ(v, QString(decode(QByteArray(c.value))));
        }
        if (c.problem == nullptr) {
            EXPECT_TRUE(doc.problems().isEmpty()) << doc.problems().join(u'\n').toStdString();
        } else {
            EXPECT_EQ(doc.problems().value(0), QLatin1String(c.problem));
        }
    }
}

// A save changes the values it sets and nothing else; a file made from
// nothing is laid out as the program always wrote it.
TEST(IniDocument, SetValueChangesOnlyWhatItSets)
{
    const auto ownStation = [](IniDocument& doc) {
        for (const char* section : {"Latitude", "Longitude"}) {
            for (const char* key : {"Degree", "Minute", "Second", section[1] == 'a' ? "N/S" : "E/W"}) {
                doc.setValue(QLatin1String(section), QLatin1String(key), QStringLiteral("1"));
            }
        }
    };
    struct Case {
        const char* name;
        QByteArray before;
        QByteArray after;
    };
    const Case cases[] = {
        {"from nothing", "",
            "[Latitude]\nDegree=1\nMinute=1\nN/S=1\nSecond=1\n\n[Longitude]\nDegree=1\nE/W=1\nMinute=1\nSecond=1\n"},
        {"a file the program wrote",
            "[Latitude]\nDegree=7\nMinute=1\nN/S=S\nSecond=1\n\n[Longitude]\nDegree=1\nE/W=W\nMinute=1\nSecond=1\n",
            "[Latitude]\nDegree=1\nMinute=1\nN/S=1\nSecond=1\n\n[Longitude]\nDegree=1\nE/W=1\nMinute=1\nSecond=1\n"},
        {"comments, keys above any section and another feature's section",
            "; mine\nTheme=dark\n\n; the map's\n[Map]\nZoom=5\n",
            "; mine\nTheme=dark\n\n[Latitude]\nDegree=1\nMinute=1\nN/S=1\nSecond=1\n\n[Longitude]\nDegree=1\nE/W=1\n"
            "Minute=1\nSecond=1\n\n; the map's\n[Map]\nZoom=5\n"},
        {"hand layout of an unchanged value, CRLF and BOM", "\xEF\xBB\xBF[Latitude]\r\nDegree = 1\r\n; end\r\n",
            "\xEF\xBB\xBF[Latitude]\r\nDegree = 1\r\nMinute=1\r\nN/S=1\r\nSecond=1\r\n; end\r\n\r\n[Longitude]\r\n"
            "Degree=1\r\nE/W=1\r\nMinute=1\r\nSecond=1\r\n"},
        {"a key set anew takes the place of its unreadable line; others stay",
            "[Latitude]\nDegree=\xff\nrubbish\nMinute=\xe9\xe9\n[Zone]\nA=b\xff\n",
            "[Latitude]\nDegree=1\nrubbish\nMinute=1\nN/S=1\nSecond=1\n\n[Longitude]\nDegree=1\nE/W=1\nMinute=1\n"
            "Second=1\n\n[Zone]\nA=b\xff\n"},
        {"lines under a broken heading and binary lines stay",
            QByteArray("[Lat\nDegree=5\n\0\x01\n\xEF\xBB\xBF[Zone]\xff\nB=\xc3\n", 32),
            QByteArray("[Lat\nDegree=5\n\0\x01\n\xEF\xBB\xBF[Zone]\xff\nB=\xc3\n\n[Latitude]\nDegree=1\nMinute=1\n"
                       "N/S=1\nSecond=1\n\n[Longitude]\nDegree=1\nE/W=1\nMinute=1\nSecond=1\n",
                123)},
        {"a U+FEFF starting a later line stays", "[Latitude]\n\xEF\xBB\xBF Degree=7\n\xEF\xBB\xBF[Zone]\n",
            "[Latitude]\n\xEF\xBB\xBF"
            "Degree=1\nMinute=1\nN/S=1\nSecond=1\n\n[Longitude]\nDegree=1\nE/W=1\nMinute=1\n"
            "Second=1\n\n\xEF\xBB\xBF[Zone]\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto doc = IniDocument::parse(c.before);
        ownStation(doc);
        EXPECT_EQ(doc.toBytes(), c.after);
    }
}

}  // namespace
}  // namespace skybrant::settings
