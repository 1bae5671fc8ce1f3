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

// The digits of the number (sign, digits, point, digits), and where its
// first significant digit stands, which decides its magnitude.
struct Mantissa {
    std::string text;
    bool anyDigit = false;
    bool significant = false;
    std::int64_t integerDigits = 0;  // significant digits before the point
    std::int64_t zerosAfterPoint = 0;  // zeros after the point before the first significant digit

    // The decimal exponent of the first significant digit's place, plus one.
    std::int64_t order() const { return integerDigits > 0 ? integerDigits : -zerosAfterPoint; }
};

void readDigits(Cursor& at, Mantissa& m, bool afterPoint)
{
    while (isDigit(at.peek())) {
        const char d = static_cast<char>(at.peek());
        m.anyDigit = true;
        if (!m.significant && d == '0') {
            if (afterPoint) {
                m.zerosAfterPoint = std::min(m.zerosAfterPoint + 1, kExponentCap);
            }
        } else {
            m.significant = true;
            if (!afterPoint) {
                m.integerDigits = std::min(m.integerDigits + 1, kExponentCap);
            }
        }
        m.text += d;
        at.advance();
    }
}

Mantissa readMantissa(Cursor& at)
{
    Mantissa m;
    if (at.peek() == u'-') {
        m.text += '-';
        at.advance();
    } else if (at.peek() == u'+') {
        at.advance();
    }
    readDigits(at, m, false);
    if (at.peek() == u'.') {
        at.advance();
        m.text += '.';
        readDigits(at, m, true);
    }
    return m;
}

// An 'e' with no digits after it is not part of the number: "1e" is 1.
std::int64_t readExponent(Cursor at)
{
    if (at.peek() != u'e' && at.peek() != u'E') {
        return 0;
    }
    at.advance();
    bool negative = false;
    if (at.peek() == u'+' || at.peek() == u'-') {
        negative = at.peek() == u'-';
        at.advance();
    }
    std::int64_t exponent = 0;
    while (isDigit(at.peek())) {
        exponent = std::min(exponent * 10 + (at.peek() - u'0'), kExponentCap);
        at.advance();
    }
    return negative ? -exponent : exponent;
}

}  // namespace

BoxReading readBox(std::u16string_view text)
{
    Cursor at(text);
    Mantissa m = readMantissa(at);
    if (!m.anyDigit || !m.significant) {
        return {};  // no number, or a zero
    }
    const std::int64_t exponent = readExponent(at);
    const std::int64_t order = m.order() + exponent;
    if (order > 10) {
        return {0, true};
    }
    if (order < -1) {
        return {};  // below 0.1 in magnitude
    }
    m.text += 'e';
    m.text += std::to_string(exponent);

    double v = 0;
    const auto res = std::from_chars(m.text.data(), m.text.data() + m.text.size(), v);
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
