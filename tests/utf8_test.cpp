#include "core/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace skybrant {
namespace {

TEST(Quoting, PrintableUtf8StaysControlsAndBadBytesAreEscaped)
{
    struct Case {
        const char* name;
        std::string in;
        const char* out;
    };
    const Case cases[] = {
        {"plain", "JO01", R"("JO01")"},
        {"empty", "", R"("")"},
        {"quote and backslash", R"(a"b\c)", R"("a\"b\\c")"},
        {"letters beyond ASCII", "\xC3\x96 \xE2\x82\xAC \xF0\x9F\x93\xA1",
            "\"\xC3\x96 \xE2\x82\xAC \xF0\x9F\x93\xA1\""},
        {"escape sequence", "\x1B]0;x\x07", R"("\x1B]0;x\x07")"},
        {"NUL", std::string("a\0b", 3), R"("a\x00b")"},
        {"line end and tab", "a\r\n\tb", R"("a\x0D\x0A\x09b")"},
        {"DEL", "\x7F", R"("\x7F")"},
        {"C1 control CSI",
            "\xC2\x9B"
            "2J",
            R"("\xC2\x9B2J")"},
        {"no-break space is printable", "\xC2\xA0", "\"\xC2\xA0\""},
        {"byte that opens nothing", "\xFF\xFE", R"("\xFF\xFE")"},
        {"stray continuation byte", "\x80", R"("\x80")"},
        {"overlong", "\xC0\x80", R"("\xC0\x80")"},
        {"surrogate", "\xED\xA0\x80", R"("\xED\xA0\x80")"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", R"("\xF4\x90\x80\x80")"},
        {"cut short", "\xE2\x82", R"("\xE2\x82")"},
        {"cut short before a letter", "\xE2\x82x", R"("\xE2\x82x")"},
        {"byte-order mark is printable", "\xEF\xBB\xBFx", "\"\xEF\xBB\xBFx\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(quote(c.in), c.out);
    }
}

TEST(Quoting, LongTextsAreCutAtAWholeCharacter)
{
    struct Case {
        const char* name;
        std::string in;
        std::size_t maxBytes;
        const char* out;
    };
    const Case cases[] = {
        {"fits exactly", "abcd", 4, R"("abcd")"},
        {"one byte over", "abcde", 4, R"("abcd"...)"},
        {"character across the cut", "ab\xE2\x82\xAC", 4, R"("ab"...)"},
        {"escaped bytes count as themselves", "\x1B\x1B\x1B", 2, R"("\x1B\x1B"...)"},
        {"nothing fits", "\xE2\x82\xAC", 2, R"(""...)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(quote(c.in, c.maxBytes), c.out);
    }
}

TEST(Utf8, CharactersAreCountedAsAReaderSeesThem)
{
    struct Case {
        const char* name;
        std::string in;
        std::size_t count;
    };
    const Case cases[] = {
        {"ASCII", "JO01", 4},
        {"two-byte letter", "J\xC3\x96", 2},
        {"four-byte sign", "\xF0\x9F\x93\xA1", 1},
        {"each bad byte is one", "\xFF\x80\xC0\x80", 4},
        {"cut-short sequence is one per byte", "\xE2\x82", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(characterCount(c.in), c.count);
    }
    EXPECT_EQ(utf8Length(""), 0U);
    EXPECT_EQ(utf8Decode("\xF0\x9F\x93\xA1"), U'\U0001F4E1');
    EXPECT_EQ(utf8Decode("\xC3\x96"), U'\u00D6');
}

}  // namespace
}  // namespace skybrant
