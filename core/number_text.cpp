#include "number_text.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace skybrant {

namespace {

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

char* writeNumberText(char* out, double value, std::string_view decimalSeparator)
{
    if (!std::isfinite(value)) {
        return out;
    }
    if (decimalSeparator.size() > kMaxSeparatorBytes) {
        decimalSeparator = decimalSeparator.substr(0, kMaxSeparatorBytes);
    }
    const Decimal d = toDecimal(value);
    if (d.count == 1 && d.digits[0] == '0') {
        *out++ = '0';  // also for -0: a sign on zero means nothing to a reader
        return out;
    }
    if (d.negative) {
        *out++ = '-';
    }
    const auto writeSeparator = [&] {
        std::memcpy(out, decimalSeparator.data(), decimalSeparator.size());
        out += decimalSeparator.size();
    };
    if (d.exponent < 0) {
        *out++ = '0';
        writeSeparator();
        out = fill(out, '0', -d.exponent - 1);
        std::memcpy(out, d.digits, static_cast<std::size_t>(d.count));
        return out + d.count;
    }
    const int integerDigits = d.exponent + 1;
    if (d.count <= integerDigits) {
        std::memcpy(out, d.digits, static_cast<std::size_t>(d.count));
        return fill(out + d.count, '0', integerDigits - d.count);
    }
    std::memcpy(out, d.digits, static_cast<std::size_t>(integerDigits));
    out += integerDigits;
    writeSeparator();
    const int fractionDigits = d.count - integerDigits;
    std::memcpy(out, d.digits + integerDigits, static_cast<std::size_t>(fractionDigits));
    return out + fractionDigits;
}

}  // namespace

std::string numberText(double value, std::string_view decimalSeparator)
{
    char buf[kNumberTextCapacity];
    return {buf, writeNumberText(buf, value, decimalSeparator)};
}

}  // namespace skybrant
