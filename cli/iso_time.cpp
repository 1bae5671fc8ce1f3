#include "iso_time.h"

#include "core/sun_texts.h"

namespace skybrant::cli {

namespace {

using namespace std::chrono;

// Exactly two digits at the start of text, at most limit; consumed.
bool readTwoDigits(std::string_view& text, int limit, int& value)
{
    if (text.size() < 2 || text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9') {
        return false;
    }
    value = (text[0] - '0') * 10 + (text[1] - '0');
    text.remove_prefix(2);
    return value <= limit;
}

bool readSeconds(std::string_view& text, int& secondsValue)
{
    if (!readTwoDigits(text, 59, secondsValue)) {
        return false;
    }
    if (text.starts_with('.') || text.starts_with(',')) {
        text.remove_prefix(1);
        const std::size_t digits = text.find_first_not_of("0123456789");
        const std::size_t length = digits == std::string_view::npos ? text.size() : digits;
        if (length == 0) {
            return false;
        }
        text.remove_prefix(length);
    }
    return true;
}

// What is left after the time of day: nothing, Z or an offset from UTC.
bool readOffset(std::string_view text, minutes& offset)
{
    if (text.empty() || text == "Z" || text == "z") {
        offset = minutes{0};
        return true;
    }
    const int sign = text[0] == '+' ? 1 : text[0] == '-' ? -1 : 0;
    text.remove_prefix(1);
    int h = 0;
    int m = 0;
    if (sign == 0 || !readTwoDigits(text, 14, h)) {
        return false;
    }
    if (text.starts_with(':')) {
        text.remove_prefix(1);
    }
    if (!text.empty() && (!readTwoDigits(text, 59, m) || !text.empty())) {
        return false;
    }
    offset = minutes{sign * (h * 60 + m)};
    return offset <= hours{14} && offset >= -hours{14};
}

}  // namespace

std::optional<year_month_day> readIsoDate(std::string_view text)
{
    year_month_day date{};
    if (!readSunDate(text, date) || sys_days{date} < kFirstDay || sys_days{date} > kLastDay) {
        return std::nullopt;
    }
    return date;
}

std::optional<sys_seconds> readIsoTime(std::string_view text)
{
    if (text.size() < 11 || (text[10] != 'T' && text[10] != 't' && text[10] != ' ')) {
        return std::nullopt;
    }
    const auto date = readIsoDate(text.substr(0, 10));
    text.remove_prefix(11);
    int h = 0;
    int m = 0;
    int s = 0;
    if (!date || !readTwoDigits(text, 23, h) || !text.starts_with(':')) {
        return std::nullopt;
    }
    text.remove_prefix(1);
    if (!readTwoDigits(text, 59, m)) {
        return std::nullopt;
    }
    if (text.starts_with(':')) {
        text.remove_prefix(1);
        if (!readSeconds(text, s)) {
            return std::nullopt;
        }
    }
    minutes offset{};
    if (!readOffset(text, offset)) {
        return std::nullopt;
    }
    const sys_seconds t = sys_days{*date} + hours{h} + minutes{m} + seconds{s} - offset;
    if (t < kFirstDay || t >= kLastDay + days{1}) {
        return std::nullopt;
    }
    return t;
}

}  // namespace skybrant::cli
