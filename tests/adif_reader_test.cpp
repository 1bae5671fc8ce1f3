// The ADIF log reader: the fields of each QSO as the log writes them, each
// bad record named and passed over, a file read in pieces or resumed where
// an earlier reading ended, and the station of a QSO read through the one
// station reader.

#include "core/adif_file.h"
#include "core/adif_reader.h"
#include "core/qso_station.h"
#include "country_file_on_disk.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace skybrant {
namespace {

class Collect : public AdifSink {
public:
    void qso(const AdifQso& qso) override { qsos.push_back(qso); }
    void problem(const AdifProblem& problem) override { problems.push_back(problem); }
    std::vector<AdifQso> qsos;
    std::vector<AdifProblem> problems;
};

Collect readAll(std::string_view text, std::size_t piece = std::string_view::npos)
{
    Collect sink;
    AdifReader reader;
    for (std::size_t at = 0; at < text.size(); at += piece) {
        reader.feed(text.substr(at, piece), sink);
    }
    reader.finish(sink);
    return sink;
}

struct FieldCase {
    const char* name;
    const char* log;
    const char* call;
    const char* grid;
    const char* date;
    const char* band;
};

TEST(AdifReaderTest, ReadsTheFieldsOfEachRecord)
{
    const FieldCase cases[] = {
        {"no header", "<CALL:6>DL1ABC<GRIDSQUARE:4>JO62<QSO_DATE:8>20240102<BAND:3>20m<EOR>", "DL1ABC", "JO62",
            "20240102", "20m"},
        {"header text",
            "Written by hand <for a test>\n<ADIF_VER:5>3.1.4 <PROGRAMID:4>test\n<EOH>\n"
            "<CALL:6>DL1ABC<EOR>",
            "DL1ABC", "", "", ""},
        {"header field holding <EOR>", "log\n<COMMENT:5><EOR><EOH><call:4>K1AB<eor>", "K1AB", "", "", ""},
        {"lower-case tags", "<call:6>dl1abc<gridsquare:6>jo62qm<eor>", "dl1abc", "jo62qm", "", ""},
        {"mixed-case end tags", "<Call:4>K1AB<EoR>", "K1AB", "", "", ""},
        {"type suffixes", "<CALL:4:S>K1AB<QSO_DATE:8:D>20240102<GRIDSQUARE:4:G>FN42<EOR>", "K1AB", "FN42", "20240102",
            ""},
        {"unknown fields passed over", "<COMMENT:14>has <CALL:4>XX<CALL:4>K1AB<APP_X_Y:0><EOR>", "K1AB", "", "", ""},
        {"blanks and line ends between", "<CALL:4>K1AB \r\n <BAND:3>40m\r\n<EOR>\r\n", "K1AB", "", "", "40m"},
        {"blanks inside data removed", "<CALL:6> K1AB <EOR>", "K1AB", "", "", ""},
        {"ten-character grid", "<CALL:4>K1AB<GRIDSQUARE:10>FN42hn12ab<EOR>", "K1AB", "FN42hn12ab", "", ""},
        {"byte lengths of UTF-8", "<NAME:6>J\xc3\xbcrgen<CALL:4>K1AB<EOR>", "K1AB", "", "", ""},
    };
    for (const FieldCase& c : cases) {
        for (const std::size_t piece : {std::string_view::npos, std::size_t{1}, std::size_t{7}}) {
            const Collect read = readAll(c.log, piece);
            ASSERT_EQ(read.problems.size(), 0U) << c.name << ": " << read.problems.front().what;
            ASSERT_EQ(read.qsos.size(), 1U) << c.name;
            EXPECT_EQ(read.qsos[0].call, c.call) << c.name;
            EXPECT_EQ(read.qsos[0].gridsquare, c.grid) << c.name;
            EXPECT_EQ(read.qsos[0].qsoDate, c.date) << c.name;
            EXPECT_EQ(read.qsos[0].band, c.band) << c.name;
        }
    }
}

struct BadCase {
    const char* name;
    const char* record;  // between two good records
    const char* what;  // a part of the sentence naming the fault
};

TEST(AdifReaderTest, NamesABadRecordAndReadsTheRest)
{
    const BadCase cases[] = {
        {"length too short", "<CALL:3>DL1ABC<EOR>", "its length is shorter than its data"},
        {"length too long into the next tag", "<CALL:8>DL1A<BAND:3>20m<EOR>", "holds '<'"},
        {"length too long past the end", "<CALL:30>DL1A<EOR>", "runs into <EOR>"},
        {"unknown field too long past the end", "<CALL:4>DL1A<COMMENT:99>hello<EOR>", "runs into <EOR>"},
        {"no length", "<CALL>DL1A<EOR>", "has no length"},
        {"length not a number", "<CALL:x4>DL1A<EOR>", "no length in bytes"},
        {"length too big", "<CALL:99999999999999>DL1A<EOR>", "no length in bytes"},
        {"no call", "<GRIDSQUARE:4>JO01<EOR>", "no CALL"},
        {"empty record", "<EOR>", "no CALL"},
        {"call twice", "<CALL:4>DL1A<CALL:4>DL1B<EOR>", "CALL comes twice"},
        {"stray '<'", "<CALL:4>DL1A< <EOR>", "opens no tag"},
        {"tag too long",
            "<CALL:4>DL1A<XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX:1>x<EOR>",
            "longer than 64 bytes"},
        {"value too long", "<CALL:70>DL1AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA<EOR>",
            "longer than 64 bytes"},
        {"bad date", "<CALL:4>DL1A<QSO_DATE:8>20240230<EOR>", "QSO_DATE \"20240230\""},
        {"bad time", "<CALL:4>DL1A<TIME_ON:4>2460<EOR>", "TIME_ON \"2460\""},
    };
    for (const BadCase& c : cases) {
        const std::string first = "log\n<EOH>\n<CALL:4>K1AA<EOR>\n";
        const std::string log = first + c.record + "\n<CALL:4>K1BB<EOR>\n";
        const Collect read = readAll(log);
        ASSERT_EQ(read.problems.size(), 1U) << c.name;
        EXPECT_EQ(read.problems[0].record, 2U) << c.name;
        EXPECT_EQ(read.problems[0].offset, first.size()) << c.name;
        EXPECT_NE(read.problems[0].what.find(c.what), std::string::npos) << c.name << ": " << read.problems[0].what;
        ASSERT_EQ(read.qsos.size(), 2U) << c.name;
        EXPECT_EQ(read.qsos[0].call, "K1AA") << c.name;
        EXPECT_EQ(read.qsos[1].call, "K1BB") << c.name;
        EXPECT_EQ(read.qsos[1].record, 3U) << c.name;
    }
}

TEST(AdifReaderTest, NamesAFileThatEndsEarly)
{
    const struct {
        const char* name;
        const char* log;
        const char* what;
    } cases[] = {
        {"inside a record", "<CALL:4>K1AA<EOR><CALL:4>K1", "ends inside the record"},
        {"inside a tag", "<CALL:4>K1AA<EOR><CAL", "ends inside the record"},
        {"in the header", "a log without its end of header <CALL:4>K1AA<EOR>", "no <EOH>"},
    };
    for (const auto& c : cases) {
        const Collect read = readAll(c.log);
        ASSERT_EQ(read.problems.size(), 1U) << c.name;
        EXPECT_NE(read.problems[0].what.find(c.what), std::string::npos) << c.name << ": " << read.problems[0].what;
    }
}

class LogFile {
public:
    explicit LogFile(const char* name)
        : path_(std::filesystem::temp_directory_path() / (std::string(name) + "_" + std::to_string(getpid()) + ".adi"))
    {
    }
    ~LogFile() { std::filesystem::remove(path_); }
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;
    void append(const std::string& text) const { std::ofstream(path_, std::ios::app | std::ios::binary) << text; }
    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

TEST(AdifFileTest, ResumesAGrowingLogWhereItWas)
{
    const LogFile log("adif_growing");
    log.append("header\n<EOH>\n<CALL:4>K1AA<EOR>\n<CALL:4>K1");
    Collect first;
    const AdifFileRead one = readAdifFile(log.path(), {}, first, false);
    ASSERT_TRUE(one.ok) << one.error;
    ASSERT_EQ(first.qsos.size(), 1U);
    EXPECT_TRUE(first.problems.empty()) << "a record being written is no fault";
    log.append("BB<EOR>\n<CALL:4>K1CC<EOR>\n");
    Collect second;
    const AdifFileRead two = readAdifFile(log.path(), one.resume, second, false);
    ASSERT_TRUE(two.ok) << two.error;
    ASSERT_EQ(second.qsos.size(), 2U);
    EXPECT_EQ(second.qsos[0].call, "K1BB");
    EXPECT_EQ(second.qsos[0].record, 2U);
    EXPECT_EQ(second.qsos[1].record, 3U);
    // A shorter file in its place is read from its start.
    std::filesystem::resize_file(log.path(), 0);
    log.append("<CALL:4>K1DD<EOR>");
    Collect third;
    const AdifFileRead three = readAdifFile(log.path(), two.resume, third, false);
    EXPECT_TRUE(three.restarted);
    ASSERT_EQ(third.qsos.size(), 1U);
    EXPECT_EQ(third.qsos[0].record, 1U);
}

TEST(AdifFileTest, NamesAFileThatCannotBeRead)
{
    Collect sink;
    const AdifFileRead missing = readAdifFile("/nonexistent/log.adi", {}, sink);
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.error.find("\"/nonexistent/log.adi\""), std::string::npos) << missing.error;
    const AdifFileRead folder = readAdifFile(std::filesystem::temp_directory_path().string(), {}, sink);
    EXPECT_FALSE(folder.ok);
}

TEST(AdifFileTest, ReadsAMillionRecords)
{
    const LogFile log("adif_million");
    std::string block = "generated\n<EOH>\n";
    for (int i = 0; i < 1'000'000; ++i) {
        block += "<CALL:6>DL";
        block += std::to_string(1000 + i % 9000);
        block += "<GRIDSQUARE:4>JO62<BAND:3>20M<MODE:3>FT8<EOR>\n";
        if (block.size() > (std::size_t{1} << 22)) {
            log.append(block);
            block.clear();
        }
    }
    log.append(block);
    struct Count : AdifSink {
        void qso(const AdifQso& qso) override { last = qso.record; }
        void problem(const AdifProblem& problem) override { ADD_FAILURE() << problem.what; }
        std::uint64_t last = 0;
    } count;
    const AdifFileRead read = readAdifFile(log.path(), {}, count);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(count.last, 1'000'000U);
    EXPECT_EQ(read.resume.offset, std::filesystem::file_size(log.path()) - 1);
}

AdifQso qso(const char* call, const char* grid, const char* lat, const char* lon, const char* myGrid = "",
    const char* myLat = "", const char* myLon = "")
{
    AdifQso qso;
    qso.call = call;
    qso.gridsquare = grid;
    qso.lat = lat;
    qso.lon = lon;
    qso.myGridsquare = myGrid;
    qso.myLat = myLat;
    qso.myLon = myLon;
    return qso;
}

TEST(QsoStationTest, ReadsGridThenPositionThenCall)
{
    const testing::CountryFileOnDisk cty("adif_qso_station",
        "Germany:                  14:  28:  EU:   51.00:   -10.00:    -1.0:  DL:\n"
        "    DL;\n");
    CountryFileSource file(cty.path());
    StationReader reader({&file, false});
    const struct {
        const char* name;
        AdifQso qso;
        double lat;  // of the station worked; NaN for a refusal
        bool own;
    } cases[] = {
        {"grid", qso("DL1ABC", "JO62", "", ""), 52.5, false},
        {"ten-character grid", qso("DL1ABC", "JO62qm99xx", "", ""), 52.5416, false},
        {"lower-case grid", qso("DL1ABC", "jo62", "", ""), 52.5, false},
        {"two-character grid, also a prefix", qso("DL1ABC", "DL", "", ""), 25.0, false},
        {"grid with a blank inside", qso("DL1ABC", "JO62 qm", "", ""), NAN, false},
        {"grid before position", qso("DL1ABC", "JO62", "N010 00.000", "E010 00.000"), 52.5, false},
        {"position only", qso("DL1ABC", "", "S033 52.500", "E151 12.000"), -33.875, false},
        {"call only", qso("DL1ABC", "", "", ""), 51.0, false},
        {"call shaped as a locator", qso("DL22AB", "", "", ""), 51.0, false},
        {"own grid", qso("DL1ABC", "JO62", "", "", "FN42"), 52.5, true},
        {"own position", qso("DL1ABC", "JO62", "", "", "", "N042 30.000", "W071 00.000"), 52.5, true},
        {"bad grid", qso("DL1ABC", "ZZ99", "", ""), NAN, false},
        {"grid holding a callsign", qso("DL1ABC", "DL1ABC", "", ""), NAN, false},
        {"latitude alone", qso("DL1ABC", "", "N051 30.000", ""), NAN, false},
        {"bad position", qso("DL1ABC", "", "N095 30.000", "E010 00.000"), NAN, false},
        {"bad own grid", qso("DL1ABC", "JO62", "", "", "JO6"), NAN, false},
        {"unknown call", qso("ZZ1ZZ", "", "", ""), NAN, false},
    };
    for (const auto& c : cases) {
        QsoStations stations;
        std::string error;
        const bool ok = readQsoStations(reader, c.qso, stations, error);
        if (std::isnan(c.lat)) {
            EXPECT_FALSE(ok) << c.name;
            EXPECT_FALSE(error.empty()) << c.name;
            continue;
        }
        ASSERT_TRUE(ok) << c.name << ": " << error;
        EXPECT_NEAR(stations.other.position.latDegrees, c.lat, 0.001) << c.name;
        EXPECT_EQ(stations.own.has_value(), c.own) << c.name;
    }
}

}  // namespace
}  // namespace skybrant
