#include "box_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace skybrant::validation {

namespace {

bool skipped(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Walks the text's characters with blanks left out.
class Cursor {
public:
    explicit Cursor(std::u16string_view text) : text_(text) { skip(); }

    bool atEnd() const { return pos_ == text_.size(); }
    char16_t peek() const { return atEnd() ? u'\0' : text_[pos_]; }
    void advance()
    {
        ++pos_;
        skip();
    }

private:
    void skip()
    {
        while (pos_ < text_.size() && skipped(text_[pos_])) {
            ++pos_;
        }
    }

    std::u16string_view text_;
    std::size_t pos_ = 0;
};

// Any value of at least 1e10 in magnitude is far outside the 32-bit range;
// any below 0.1 rounds to 0. Decimal exponents are capped at this size so
// that the arithmetic on them cannot overflow.
constexpr std::int64_t kExponentCap = 1'000'000'000;

}  // namespace

BoxReading readBox(std::u16string_view text)
{
    Cursor at(text);
    std::string number;  // the number's characters, blanks removed
    if (at.peek() == u'-') {
        number += '-';
        at.advance();
    } else if (at.peek() == u'+') {
        at.advance();
    }

    // Where the first significant (non-zero) digit stands decides the
    // magnitude: order = decimal exponent of that digit's place plus one.
    bool anyDigit = false;
    bool significant = false;
    std::int64_t integerDigits = 0;  // significant digits before the point
    std::int64_t zerosAfterPoint = 0;  // zeros after the point before the first significant digit
    while (isDigit(at.peek())) {
        anyDigit = true;
        const char d = static_cast<char>(at.peek());
        significant = significant || d != '0';
        if (significant) {
            integerDigits = std::min(integerDigits + 1, kExponentCap);
        }
        number += d;
        at.advance();
    }
    if (at.peek() == u'.') {
        at.advance();
        number += '.';
        while (isDigit(at.peek())) {
            anyDigit = true;
            const char d = static_cast<char>(at.peek());
            if (!significant && d == '0') {
                zerosAfterPoint = std::min(zerosAfterPoint + 1, kExponentCap);
            }
            significant = significant || d != '0';
            number += d;
            at.advance();
        }
    }
    if (!anyDigit || !significant) {
        return {};  // no number, or a zero
    }

    std::int64_t exponent = 0;
    if (at.peek() == u'e' || at.peek() == u'E') {
        Cursor afterE = at;
        afterE.advance();
        bool negative = false;
        if (afterE.peek() == u'+' || afterE.peek() == u'-') {
            negative = afterE.peek() == u'-';
            afterE.advance();
        }
        // An 'e' with no digits after it is not part of the number: "1e" is 1.
        if (isDigit(afterE.peek())) {
            while (isDigit(afterE.peek())) {
                exponent = std::min(exponent * 10 + (afterE.peek() - u'0'), kExponentCap);
                afterE.advance();
            }
            if (negative) {
                exponent = -exponent;
            }
        }
    }

    const std::int64_t order = (integerDigits > 0 ? integerDigits : -zerosAfterPoint) + exponent;
    if (order > 10) {
        return {0, true};
    }
    if (order < -1) {
        return {};  // below 0.1 in magnitude
    }
    number += 'e';
    number += std::to_string(exponent);

    double v = 0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), v);
    if (res.ec != std::errc{}) {
        return {};
    }
    const double rounded = std::nearbyint(v);  // ties to even in the default rounding mode
    if (rounded < std::numeric_limits<std::int32_t>::min() || rounded > std::numeric_limits<std::int32_t>::max()) {
        return {0, true};
    }
    return {static_cast<std::int32_t>(rounded), false};
}

}  // namespace skybrant::validation
