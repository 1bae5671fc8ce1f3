#include "written_position.h"

#include "utf8.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>

namespace skybrant {

namespace {

enum class Kind { Number, Mark, Letter };

// Which number a mark may follow: 1 degrees, 2 minutes, 3 seconds; 0 for
// ':', which may follow degrees or minutes.
struct Item {
    Kind kind = Kind::Number;
    double value = 0;
    bool fraction = false;
    int mark = 0;
    char letter = 0;
    std::size_t token = 0;  // the token it is in
};

// More items than any position takes: two coordinates of a letter and three
// numbers, each with a mark.
constexpr std::size_t kMaxItems = 16;

struct Items {
    std::array<Item, kMaxItems> item{};
    std::size_t count = 0;
    // Tokens whose every byte is an item.
    std::size_t tokens = 0;
};

// The marks as UTF-8, with the number they follow.
struct MarkText {
    std::string_view text;
    int follows;
};
constexpr std::array kMarks{MarkText{"\xC2\xB0", 1}, MarkText{"\xC2\xBA", 1}, MarkText{"d", 1}, MarkText{"D", 1},
    MarkText{"''", 3}, MarkText{"'", 2}, MarkText{"\xE2\x80\xB2", 2}, MarkText{"\xE2\x80\x99", 2}, MarkText{"\"", 3},
    MarkText{"\xE2\x80\xB3", 3}, MarkText{"\xE2\x80\x9D", 3}, MarkText{":", 0}};

std::optional<char> hemisphereLetter(char c)
{
    const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    if (upper == 'N' || upper == 'S' || upper == 'E' || upper == 'W') {
        return upper;
    }
    return std::nullopt;
}

// One number: digits with at most one point among them.
std::size_t readNumber(std::string_view text, Item& item)
{
    std::size_t end = 0;
    bool point = false;
    bool digit = false;
    for (; end < text.size(); ++end) {
        const char c = text[end];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digit) {
        return 0;
    }
    const auto [stop, ec] = std::from_chars(text.data(), text.data() + end, item.value);
    if (ec != std::errc{} || stop != text.data() + end) {
        return 0;
    }
    item.kind = Kind::Number;
    item.fraction = point;
    return end;
}

// One item at the front of text; 0 when the text does not start with one.
std::size_t readItem(std::string_view text, Item& item)
{
    if (const std::size_t length = readNumber(text, item); length != 0) {
        return length;
    }
    if (const auto letter = hemisphereLetter(text.front())) {
        item.kind = Kind::Letter;
        item.letter = *letter;
        return 1;
    }
    for (const MarkText& mark : kMarks) {
        if (text.starts_with(mark.text)) {
            item.kind = Kind::Mark;
            item.mark = mark.follows;
            return mark.text.size();
        }
    }
    return 0;
}

// The items of the front tokens that are written wholly in items.
Items lex(std::span<const std::string_view> tokens)
{
    Items items;
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        Items taken = items;
        for (std::string_view text = tokens[t]; !text.empty();) {
            Item item;
            const std::size_t length = taken.count < kMaxItems ? readItem(text, item) : 0;
            if (length == 0) {
                return items;
            }
            item.token = t;
            taken.item.at(taken.count++) = item;
            text.remove_prefix(length);
        }
        items = taken;
        items.tokens = t + 1;
    }
    return items;
}

struct Coordinate {
    char letter = 0;
    std::array<double, 3> number{};
    int count = 0;
    std::size_t next = 0;  // the item after it
    std::string fault;  // why it is no coordinate, when it looked like one
};

bool isNumber(const Items& items, std::size_t i)
{
    return i < items.count && items.item.at(i).kind == Kind::Number;
}

bool isLetter(const Items& items, std::size_t i)
{
    return i < items.count && items.item.at(i).kind == Kind::Letter;
}

// One coordinate from item i: a letter and up to three numbers, or up to
// three numbers and a letter; marks after the numbers they fit.
Coordinate readCoordinate(const Items& items, std::size_t i)
{
    Coordinate c;
    const bool letterFirst = isLetter(items, i);
    if (letterFirst) {
        c.letter = items.item.at(i++).letter;
    }
    bool lastHadFraction = false;
    while (isNumber(items, i) && c.count < 3) {
        if (lastHadFraction) {
            c.fault = "only the last number of a coordinate may have a fraction";
            return c;
        }
        const Item& number = items.item.at(i++);
        lastHadFraction = number.fraction;
        c.number.at(static_cast<std::size_t>(c.count++)) = number.value;
        if (i < items.count && items.item.at(i).kind == Kind::Mark) {
            const int follows = items.item.at(i).mark;
            if (follows != c.count && !(follows == 0 && c.count < 3)) {
                c.fault = "a mark of degrees, minutes or seconds stands after the wrong number";
                return c;
            }
            ++i;
        }
    }
    if (c.count == 0) {
        c.fault = "a hemisphere letter needs degrees beside it";
        return c;
    }
    if (!letterFirst) {
        if (!isLetter(items, i)) {
            c.fault = "each coordinate needs its hemisphere letter, N or S, E or W";
            return c;
        }
        c.letter = items.item.at(i++).letter;
    }
    c.next = i;
    return c;
}

bool isLatitude(char letter)
{
    return letter == 'N' || letter == 'S';
}

// Degrees from a coordinate's numbers; a fault when a value is out of range.
std::optional<double> degreesOf(const Coordinate& c, std::string& fault)
{
    const double limit = isLatitude(c.letter) ? 90 : 180;
    for (int k = 1; k < c.count; ++k) {
        if (!(c.number.at(static_cast<std::size_t>(k)) < 60)) {
            fault = std::string(k == 1 ? "the minutes" : "the seconds") + " are not below 60";
            return std::nullopt;
        }
    }
    const double degrees = c.number[0] + c.number[1] / 60 + c.number[2] / 3600;
    if (!(degrees <= limit)) {
        fault = std::string("a ") + (isLatitude(c.letter) ? "latitude" : "longitude") + " is at most " +
            std::to_string(static_cast<int>(limit)) + " degrees";
        return std::nullopt;
    }
    return (c.letter == 'S' || c.letter == 'W') ? -degrees : degrees;
}

bool wholeNumbers(const Coordinate& c)
{
    for (int k = 0; k < c.count; ++k) {
        const double v = c.number.at(static_cast<std::size_t>(k));
        if (v != std::floor(v) || v > 1e6) {
            return false;
        }
    }
    return true;
}

EntryAngle angleOf(const Coordinate& c)
{
    return {static_cast<std::int32_t>(c.number[0]), static_cast<std::int32_t>(c.number[1]),
        static_cast<std::int32_t>(c.number[2]), c.letter == 'S' || c.letter == 'W'};
}

std::string shownTokens(std::span<const std::string_view> tokens, std::size_t count)
{
    std::string text;
    for (std::size_t t = 0; t < count; ++t) {
        text += t == 0 ? "" : " ";
        text += tokens[t];
    }
    return quote(text, 80);
}

}  // namespace

WrittenRead readWrittenPosition(std::span<const std::string_view> tokens, bool own)
{
    WrittenRead read;
    const Items items = lex(tokens);
    const bool anyLetter =
        std::any_of(items.item.begin(), items.item.begin() + static_cast<std::ptrdiff_t>(items.count),
            [](const Item& item) { return item.kind == Kind::Letter; });
    if (items.count == 0 || !anyLetter) {
        return read;
    }
    Coordinate first = readCoordinate(items, 0);
    Coordinate second = first.fault.empty() ? readCoordinate(items, first.next) : Coordinate{};
    std::string fault = !first.fault.empty() ? first.fault : second.fault;
    if (fault.empty() && isLatitude(first.letter) == isLatitude(second.letter)) {
        fault = "it needs one latitude (N or S) and one longitude (E or W)";
    }
    // A position ends where a token does.
    const std::size_t used = fault.empty() ? items.item.at(second.next - 1).token + 1 : items.tokens;
    if (fault.empty() && second.next < items.count && items.item.at(second.next).token + 1 == used) {
        fault = "something follows the longitude in the same word";
    }
    const Coordinate& lat = isLatitude(first.letter) ? first : second;
    const Coordinate& lon = isLatitude(first.letter) ? second : first;
    std::optional<double> latDegrees;
    std::optional<double> lonDegrees;
    if (fault.empty()) {
        latDegrees = degreesOf(lat, fault);
    }
    if (fault.empty()) {
        lonDegrees = degreesOf(lon, fault);
    }
    if (!fault.empty()) {
        read.error = std::string(own ? "own" : "other") + " station " + shownTokens(tokens, used) + ": " + fault;
        return read;
    }
    read.tokens = used;
    read.position = wholeNumbers(lat) && wholeNumbers(lon) ? positionFromAngles(angleOf(lat), angleOf(lon))
                                                           : positionFromDegrees(*latDegrees, *lonDegrees);
    return read;
}

}  // namespace skybrant
