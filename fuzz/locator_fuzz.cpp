// Locators: any text is either refused with a message, or names a square
// whose centre lies inside the globe and gives the same locator back
// (letters in the standard case).

#include "core/locator.h"
#include "fuzz_text.h"

#include <string>
#include <string_view>

namespace {

char standardCase(char c, std::size_t i)
{
    const bool small = i >= 4;
    if (small && c >= 'A' && c <= 'Z') {
        return static_cast<char>(c - 'A' + 'a');
    }
    if (!small && c >= 'a' && c <= 'z') {
        return static_cast<char>(c - 'a' + 'A');
    }
    return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    skybrant::Position centre;
    std::string error;
    if (!skybrant::parseLocator(text, centre, error)) {
        FUZZ_CHECK(error.rfind("locator \"", 0) == 0);
        return 0;
    }
    FUZZ_CHECK(error.empty());
    FUZZ_CHECK(centre.latDegrees > -90 && centre.latDegrees < 90);
    FUZZ_CHECK(centre.lonDegrees > -180 && centre.lonDegrees < 180);
    std::string expected(text);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        expected[i] = standardCase(expected[i], i);
    }
    FUZZ_CHECK(skybrant::locatorOf(centre, text.size()) == expected);
    return 0;
}
