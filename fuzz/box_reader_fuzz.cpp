// The box reader: any text gives a 32-bit whole number or "out of range",
// and the decimal text of a result reads back as the same result.

#include "fuzz_text.h"
#include "validation/box_reader.h"

#include <string>

using skybrant::validation::readBox;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const bool utf8 = (data[0] & 1) == 0;
    const std::u16string text =
        utf8 ? skybrant::fuzz::fromUtf8(data + 1, size - 1) : skybrant::fuzz::fromLatin1(data + 1, size - 1);
    const auto r = readBox(text);
    if (r.outOfRange) {
        FUZZ_CHECK(r.value == 0);
        return 0;
    }
    const std::string decimal = std::to_string(r.value);
    const auto again = readBox(std::u16string(decimal.begin(), decimal.end()));
    FUZZ_CHECK(!again.outOfRange && again.value == r.value);

    // Text without a single digit holds no number.
    bool digit = false;
    for (const char16_t c : text) {
        digit = digit || (c >= u'0' && c <= u'9');
    }
    FUZZ_CHECK(digit || r.value == 0);
    return 0;
}
