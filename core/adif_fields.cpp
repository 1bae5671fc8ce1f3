#include "adif_fields.h"

#include "utf8.h"

#include <algorithm>
#include <chrono>

namespace skybrant {

std::string adifShown(std::string_view text)
{
    std::string out = "\"";
    appendShown(text, out);
    return out + '"';
}

bool adifDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

namespace {

int twoDigits(std::string_view text, std::size_t at)
{
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

}  // namespace

std::string adifDateTimeFault(const AdifQso& qso)
{
    if (!qso.qsoDate.empty()) {
        const std::string_view d = qso.qsoDate;
        using namespace std::chrono;
        if (d.size() != 8 || !adifDigits(d) ||
            !year_month_day{year{twoDigits(d, 0) * 100 + twoDigits(d, 2)},
                month{static_cast<unsigned>(twoDigits(d, 4))}, day{static_cast<unsigned>(twoDigits(d, 6))}}
                 .ok()) {
            return "QSO_DATE " + adifShown(qso.qsoDate) + " is not a date written YYYYMMDD";
        }
    }
    if (!qso.timeOn.empty()) {
        const std::string_view t = qso.timeOn;
        if ((t.size() != 4 && t.size() != 6) || !adifDigits(t) || twoDigits(t, 0) > 23 || twoDigits(t, 2) > 59 ||
            (t.size() == 6 && twoDigits(t, 4) > 59)) {
            return "TIME_ON " + adifShown(qso.timeOn) + " is not a time written HHMM or HHMMSS";
        }
    }
    return {};
}

}  // namespace skybrant
