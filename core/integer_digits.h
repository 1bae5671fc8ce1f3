#pragma once
// Whole numbers written as decimal digits by table and fixed counts, for the
// number texts every figure is written with: quicker than a general writer.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace skybrant::digits {

// Two digits at a time, as a table gives them.
inline constexpr auto kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// The two digits of n < 100.
inline void writeTwoDigits(char* out, std::uint32_t n)
{
    std::memcpy(out, &kDigitPairs[std::size_t{2} * n], 2);
}

// The four digits of n < 10^4, leading zeros included.
inline void writeFourDigits(char* out, std::uint32_t n)
{
    writeTwoDigits(out, n / 100);
    writeTwoDigits(out + 2, n % 100);
}

// The fifteen digits of 10^14 <= n < 10^15: a fixed count, in groups that
// do not wait on each other, which is quicker than a general integer writer.
inline void writeFifteenDigits(char* out, std::uint64_t n)
{
    constexpr std::uint64_t kTwelve = 1'000'000'000'000;
    constexpr std::uint64_t kEight = 100'000'000;
    constexpr std::uint32_t kFour = 10'000;
    const auto top = static_cast<std::uint32_t>(n / kTwelve);  // three digits
    const std::uint64_t rest = n % kTwelve;
    const auto middle = static_cast<std::uint32_t>(rest / kEight);
    const auto low = static_cast<std::uint32_t>(rest % kEight);
    out[0] = static_cast<char>('0' + top / 100);
    writeTwoDigits(out + 1, top % 100);
    writeFourDigits(out + 3, middle);
    writeFourDigits(out + 7, low / kFour);
    writeFourDigits(out + 11, low % kFour);
}

// 1 to 10^19, for counting digits.
inline constexpr auto kPowersOfTen = [] {
    std::array<std::uint64_t, 20> powers{};
    std::uint64_t p = 1;
    for (std::uint64_t& power : powers) {
        power = p;
        p *= 10;
    }
    return powers;
}();

// The decimal digits of n, at least one: from its bit length, which gives
// the count or one more, and one comparison.
inline std::size_t decimalDigits(std::uint64_t n)
{
    // Setting the lowest bit changes no count of digits and makes 0 count
    // as the one digit it is written with.
    const std::uint64_t m = n | 1;
    // 1233 / 4096 is just above log10(2).
    const auto estimate = static_cast<std::size_t>((std::bit_width(m) * 1233) >> 12);
    return estimate + (m >= kPowersOfTen[estimate] ? 1 : 0);
}

}  // namespace skybrant::digits
