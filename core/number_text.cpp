#include "number_text.h"

#include "integer_digits.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <system_error>

namespace skybrant {

namespace {

using digits::decimalDigits;
using digits::writeFifteenDigits;
using digits::writeTwoDigits;

constexpr int kMaxSignificantDigits = 15;

// Significant digits and decimal exponent of a double in scientific form,
// e.g. 5539.2 -> digits "55392", exponent 3.
struct Decimal {
    char digits[24];
    int count = 0;
    int exponent = 0;
    bool negative = false;
};

bool parseScientific(const char* first, const char* last, Decimal& d)
{
    d.count = 0;
    d.negative = (*first == '-');
    if (d.negative) {
        ++first;
    }
    while (first != last && *first != 'e') {
        if (*first != '.') {
            if (d.count == static_cast<int>(sizeof d.digits)) {
                return false;
            }
            d.digits[d.count++] = *first;
        }
        ++first;
    }
    if (first == last) {
        return false;
    }
    ++first;  // 'e'
    if (*first == '+') {
        ++first;
    }
    return std::from_chars(first, last, d.exponent).ec == std::errc{};
}

Decimal toDecimal(double value)
{
    char buf[64];
    Decimal d;
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    parseScientific(buf, res.ptr, d);
    if (d.count > kMaxSignificantDigits) {
        res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, kMaxSignificantDigits - 1);
        parseScientific(buf, res.ptr, d);
    }
    while (d.count > 1 && d.digits[d.count - 1] == '0') {
        --d.count;
    }
    return d;
}

char* fill(char* out, char c, int n)
{
    for (int i = 0; i < n; ++i) {
        *out++ = c;
    }
    return out;
}

// A few bytes: copied in a loop rather than by a call.
char* copyShort(char* out, const char* from, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = from[i];
    }
    return out + n;
}

char* writeSeparator(char* out, std::string_view separator)
{
    return copyShort(out, separator.data(), separator.size());
}

// The text of the digits and exponent of d, as numberText describes it.
char* writeDecimal(char* out, const Decimal& d, std::string_view decimalSeparator)
{
    if (d.count == 1 && d.digits[0] == '0') {
        *out++ = '0';  // also for -0: a sign on zero means nothing to a reader
        return out;
    }
    if (d.negative) {
        *out++ = '-';
    }
    if (d.exponent < 0) {
        *out++ = '0';
        out = writeSeparator(out, decimalSeparator);
        out = fill(out, '0', -d.exponent - 1);
        return copyShort(out, d.digits, static_cast<std::size_t>(d.count));
    }
    const int integerDigits = d.exponent + 1;
    if (d.count <= integerDigits) {
        out = copyShort(out, d.digits, static_cast<std::size_t>(d.count));
        return fill(out, '0', integerDigits - d.count);
    }
    out = copyShort(out, d.digits, static_cast<std::size_t>(integerDigits));
    out = writeSeparator(out, decimalSeparator);
    return copyShort(out, d.digits + integerDigits, static_cast<std::size_t>(d.count - integerDigits));
}

// The tenths as a number of units and one decimal, the decimal left out
// when it is 0. At most 10^13 tenths.
class WholeTenths {
public:
    WholeTenths(std::int64_t tenths, std::string_view decimalSeparator)
        : negative_(tenths < 0), separator_(decimalSeparator)
    {
        const std::uint64_t magnitude = negative_ ? 0 - static_cast<std::uint64_t>(tenths) : tenths;
        units_ = magnitude / 10;
        tenth_ = static_cast<char>(magnitude % 10);
        digits_ = decimalDigits(units_);
    }

    std::size_t length() const { return (negative_ ? 1 : 0) + digits_ + (tenth_ != 0 ? separator_.size() + 1 : 0); }

    // Writes length() bytes at out.
    void write(char* out) const
    {
        if (negative_) {
            *out++ = '-';
        }
        char* p = out + digits_;
        std::uint64_t rest = units_;
        for (; rest >= 100; rest /= 100) {
            p -= 2;
            writeTwoDigits(p, static_cast<std::uint32_t>(rest % 100));
        }
        if (rest >= 10) {
            writeTwoDigits(p - 2, static_cast<std::uint32_t>(rest));
        } else {
            p[-1] = static_cast<char>('0' + rest);
        }
        if (tenth_ != 0) {
            out = writeSeparator(out + digits_, separator_);
            *out = static_cast<char>('0' + tenth_);
        }
    }

private:
    bool negative_;
    std::string_view separator_;
    std::uint64_t units_ = 0;
    char tenth_ = 0;
    std::size_t digits_ = 1;
};

// Below this every multiple of a tenth is held to within a few millionths,
// so no shorter text reads back as the same double: its text is the tenths
// themselves. Every distance and heading the program shows is one.
constexpr double kTenthsBound = 1e12;

// A value that is the double nearest to a whole number of tenths, written
// from that integer; nullptr for any other value.
char* writeTenths(char* out, double value, std::string_view decimalSeparator)
{
    if (!(std::fabs(value) < kTenthsBound)) {
        return nullptr;
    }
    const double scaled = value * 10;
    const auto tenths = static_cast<std::int64_t>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
    // A whole number of tenths is within a few units in the last place of
    // scaled; anything farther off, as most coordinates are, is settled
    // without the division below.
    if (std::fabs(scaled - static_cast<double>(tenths)) > 1e-9 * std::fabs(scaled) + 1e-9) {
        return nullptr;
    }
    if (static_cast<double>(tenths) / 10 != value) {
        return nullptr;
    }
    const WholeTenths t(tenths, decimalSeparator);
    t.write(out);
    return out + t.length();
}

// 128 bits hold a 53-bit significand times 10^19 exactly.
__extension__ typedef unsigned __int128 Wide;  // NOLINT(modernize-use-using): __extension__ needs typedef

constexpr std::uint64_t kPow10[] = {1, 10, 100, 1'000, 10'000, 100'000, 1'000'000, 10'000'000, 100'000'000,
    1'000'000'000, 10'000'000'000, 100'000'000'000, 1'000'000'000'000, 10'000'000'000'000, 100'000'000'000'000,
    1'000'000'000'000'000, 10'000'000'000'000'000, 100'000'000'000'000'000, 1'000'000'000'000'000'000,
    10'000'000'000'000'000'000U};
constexpr std::uint64_t kFifteenDigits = kPow10[kMaxSignificantDigits];

// |value| rounded to 15 significant digits, halves to even as std::to_chars
// rounds them, worked out exactly in integers; false outside [1e-5, 1e15),
// where the scaled significand would not fit.
bool roundToFifteenDigits(double value, Decimal& d)
{
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-5 && magnitude < 1e15)) {
        return false;
    }
    // magnitude = significand / 2^shift exactly.
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    constexpr int kFractionBits = 52;
    const std::uint64_t significand =
        (bits & ((std::uint64_t{1} << kFractionBits) - 1)) | (std::uint64_t{1} << kFractionBits);
    const int binaryExponent = static_cast<int>(bits >> kFractionBits) - 1023;
    const int shift = kFractionBits - binaryExponent;
    // floor(binaryExponent * log10(2)): the decimal exponent or one less.
    int exponent = (binaryExponent * 78913) >> 18;
    for (;;) {
        const int scale = kMaxSignificantDigits - 1 - exponent;
        if (scale < 0 || scale >= static_cast<int>(std::size(kPow10))) {
            return false;
        }
        const Wide scaled = Wide{significand} * kPow10[scale];
        auto digits = static_cast<std::uint64_t>(scaled >> shift);
        if (digits >= kFifteenDigits) {
            ++exponent;  // the estimate was one short
            continue;
        }
        if (digits < kFifteenDigits / 10) {
            --exponent;
            continue;
        }
        const Wide rest = scaled & ((Wide{1} << shift) - 1);
        const Wide half = Wide{1} << (shift - 1);
        if (rest > half || (rest == half && digits % 2 == 1)) {
            ++digits;
        }
        if (digits == kFifteenDigits) {  // 999...95 and more carry into a new digit
            digits /= 10;
            ++exponent;
        }
        d.negative = value < 0;
        d.exponent = exponent;
        d.count = kMaxSignificantDigits;
        writeFifteenDigits(d.digits, digits);
        return true;
    }
}

// For a normal double the shortest text that reads back, if it has at most
// 15 significant digits, is also its correct rounding to 15 digits (the
// double is held to far better than half a unit in the 15th digit), so one
// rounding to 15 digits gives the digits in either case. Subnormal values
// are held more coarsely and take the general route.
Decimal toFifteenDigits(double value)
{
    Decimal d;
    if (!roundToFifteenDigits(value, d)) {
        char buf[32];
        const auto res =
            std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, kMaxSignificantDigits - 1);
        parseScientific(buf, res.ptr, d);
    }
    while (d.count > 1 && d.digits[d.count - 1] == '0') {
        --d.count;
    }
    return d;
}

char* writeNumberTextGeneral(char* out, double value, std::string_view decimalSeparator)
{
    if (!std::isfinite(value)) {
        return out;
    }
    if (decimalSeparator.size() > kMaxSeparatorBytes) {
        decimalSeparator = decimalSeparator.substr(0, kMaxSeparatorBytes);
    }
    return writeDecimal(out, toDecimal(value), decimalSeparator);
}

}  // namespace

char* writeNumberText(char* out, double value, std::string_view decimalSeparator)
{
    if (!std::isfinite(value)) {
        return out;
    }
    if (decimalSeparator.size() > kMaxSeparatorBytes) {
        decimalSeparator = decimalSeparator.substr(0, kMaxSeparatorBytes);
    }
    if (char* end = writeTenths(out, value, decimalSeparator)) {
        return end;
    }
    const bool normal = std::fabs(value) >= std::numeric_limits<double>::min();
    return writeDecimal(out, normal ? toFifteenDigits(value) : toDecimal(value), decimalSeparator);
}

std::string numberText(double value, std::string_view decimalSeparator)
{
    char buf[kNumberTextCapacity];
    return {buf, writeNumberText(buf, value, decimalSeparator)};
}

std::string tenthsText(double tenths, std::string_view decimalSeparator)
{
    std::string text;
    appendTenthsText(text, tenths, decimalSeparator);
    return text;
}

char* writeTenthsText(char* out, double tenths, std::string_view decimalSeparator)
{
    if (!(std::fabs(tenths) < kTenthsBound * 10)) {
        return writeNumberText(out, tenths / 10, decimalSeparator);
    }
    if (decimalSeparator.size() > kMaxSeparatorBytes) {
        decimalSeparator = decimalSeparator.substr(0, kMaxSeparatorBytes);
    }
    const WholeTenths t(static_cast<std::int64_t>(tenths), decimalSeparator);
    t.write(out);
    return out + t.length();
}

void appendTenthsText(std::string& out, double tenths, std::string_view decimalSeparator)
{
    char buf[kNumberTextCapacity];
    out.append(buf, writeTenthsText(buf, tenths, decimalSeparator));
}

void appendNumberText(std::string& out, double value, std::string_view decimalSeparator)
{
    char buf[kNumberTextCapacity];
    out.append(buf, writeNumberText(buf, value, decimalSeparator));
}

std::string numberTextGeneral(double value, std::string_view decimalSeparator)
{
    char buf[kNumberTextCapacity];
    return {buf, writeNumberTextGeneral(buf, value, decimalSeparator)};
}

}  // namespace skybrant
