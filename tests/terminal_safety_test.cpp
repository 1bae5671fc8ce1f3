// Whatever bytes a user or a file hands the program, what it prints must not
// drive the terminal: no raw control character, no byte that is not UTF-8.

#include "batch_run.h"
#include "cli/batch.h"
#include "core/locator.h"
#include "core/utf8.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace skybrant::cli {
namespace {

// Where the first raw control character or non-UTF-8 byte stands, or npos.
std::size_t firstUnsafeByte(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8Length(text.substr(i));
        if (length == 0) {
            return i;
        }
        const char32_t c = utf8Decode(text.substr(i, length));
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            return i;
        }
        i += length;
    }
    return std::string_view::npos;
}

struct Hostile {
    const char* name;
    std::string bytes;
};

const std::vector<Hostile>& hostileTexts()
{
    static const std::vector<Hostile> texts = {
        {"title-setting escape", "\x1B]0;x\x07"},
        {"clear screen", "\x1B[2J"},
        {"BEL", "\x07"},
        {"NUL", std::string("\0", 1)},
        {"DEL", "\x7F"},
        {"C1 CSI",
            "\xC2\x9B"
            "31m"},
        {"invalid UTF-8", "\xFF\xFE"},
        {"overlong NUL", "\xC0\x80"},
        {"cut-short sequence", "\xE2\x82"},
        {"byte-order mark", "\xEF\xBB\xBF"},
    };
    return texts;
}

// A pair line with the hostile text put into one field.
std::string withField(std::size_t index, const std::string& field)
{
    std::vector<std::string> fields = {"1", "0", "0", "N", "0", "0", "0", "E", "0", "0", "0", "N", "0", "0", "0", "E"};
    fields.at(index) = field;
    std::string line;
    for (const auto& f : fields) {
        line += (line.empty() ? "" : " ") + f;
    }
    return line;
}

void expectSafe(const std::string& out)
{
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.back(), '\n');
    const std::string_view body(out.data(), out.size() - 1);
    EXPECT_EQ(firstUnsafeByte(body), std::string_view::npos) << body;
}

void expectSafeBothWays(const std::string& line)
{
    for (const bool json : {false, true}) {
        SCOPED_TRACE(json ? "JSON" : "CSV");
        BatchOptions options;
        options.json = json;
        std::string out;
        EXPECT_FALSE(appendBatchLine(line, options, 1, out));
        expectSafe(out);
    }
}

TEST(TerminalSafety, EveryFieldKindQuotesWhatItRejects)
{
    const char* const fieldNames[] = {"latitude degrees", "latitude minutes", "latitude seconds", "latitude hemisphere",
        "longitude degrees", "longitude minutes", "longitude seconds", "longitude hemisphere"};
    for (const auto& h : hostileTexts()) {
        SCOPED_TRACE(h.name);
        for (std::size_t i = 0; i < 16; ++i) {
            SCOPED_TRACE((i < 8 ? "own " : "other ") + std::string(fieldNames[i % 8]));
            expectSafeBothWays(withField(i, h.bytes));
            expectSafeBothWays(withField(i, "1" + h.bytes));
        }
        {
            SCOPED_TRACE("decimal latitude");
            expectSafeBothWays("1" + h.bytes + " 0 JO01");
        }
        {
            SCOPED_TRACE("decimal longitude");
            expectSafeBothWays("JO01 0 1" + h.bytes);
        }
        {
            SCOPED_TRACE("locator");
            expectSafeBothWays(h.bytes + " JO01");
            expectSafeBothWays("JO01 JO" + h.bytes);
            Position centre;
            std::string error;
            EXPECT_FALSE(parseLocator("JO0" + h.bytes, centre, error));
            EXPECT_EQ(firstUnsafeByte(error), std::string_view::npos) << error;
        }
        {
            SCOPED_TRACE("whole line");
            expectSafeBothWays(h.bytes);
        }
    }
}

TEST(TerminalSafety, NumberFieldsNoLongerEchoEscapes)
{
    std::string out;
    EXPECT_FALSE(appendBatchLine("1 0 0 N\x1B]0;x\x07 0 0 0 E 0 0 0 N 0 0 0 E", {}, 1, out));
    EXPECT_EQ(out, "ERROR: own latitude hemisphere: \"N\\x1B]0;x\\x07\" is not allowed; allowed: N or S\n");
}

TEST(TerminalSafety, ByteOrderMarkStartsTheInputOnly)
{
    const std::string pair = "51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W\n";
    struct Case {
        const char* name;
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"before a pair", "\xEF\xBB\xBF" + pair, "5539.2,288,51\n"},
        {"before a comment", "\xEF\xBB\xBF# pairs\n" + pair, "# pairs\n5539.2,288,51\n"},
        {"alone", "\xEF\xBB\xBF", "\n"},
        {"on a later line it is a bad character", pair + "\xEF\xBB\xBFJO01 JO02\n",
            "5539.2,288,51\nERROR: own locator \"\xEF\xBB\xBFJO01\": character 1, \"\xEF\xBB\xBF\", is not allowed; "
            "allowed there: a letter A to R\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = runBatchOver(c.in);
        EXPECT_EQ(out, c.out);
        for (std::size_t start = 0; start < out.size();) {
            const std::size_t end = out.find('\n', start);
            EXPECT_EQ(firstUnsafeByte(std::string_view(out).substr(start, end - start)), std::string_view::npos);
            start = end + 1;
        }
    }
}

}  // namespace
}  // namespace skybrant::cli
