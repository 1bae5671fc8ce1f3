#include "magnetic.h"

#include <charconv>
#include <cstddef>
#include <string>
#include <vector>

namespace skybrant {

namespace {

std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            ++i;
        }
        if (i > start) {
            out.push_back(line.substr(start, i - start));
        }
    }
    return out;
}

template <typename T>
bool number(std::string_view word, T& value)
{
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, value);
    return ec == std::errc{} && ptr == end;
}

std::size_t termIndex(int n, int m)
{
    const auto degree = static_cast<std::size_t>(n);
    return degree * (degree + 1) / 2 + static_cast<std::size_t>(m);
}

// The file ends in lines of nothing but 9s.
bool closingLine(const std::vector<std::string_view>& words)
{
    return words.size() == 1 && words[0].size() > 2 && words[0].find_first_not_of('9') == std::string_view::npos;
}

struct Reader {
    explicit Reader(std::string& errorText) : error(errorText) { }

    WmmCoefficients model;
    std::array<bool, kWmmTerms> seen{};
    std::string& error;
    int lineNumber = 0;

    bool fail(const std::string& why)
    {
        error = "line " + std::to_string(lineNumber) + " of the coefficient file: " + why;
        return false;
    }

    bool header(std::string_view line)
    {
        const auto w = words(line);
        if (w.size() != 3 || !number(w[0], model.epoch)) {
            return fail("expected the epoch, the model's name and its date");
        }
        model.name = std::string(w[1]);
        model.released = std::string(w[2]);
        return true;
    }

    bool row(std::string_view line)
    {
        const auto w = words(line);
        int n = 0;
        int m = 0;
        std::array<double, 4> v{};
        if (w.size() != 6 || !number(w[0], n) || !number(w[1], m) || !number(w[2], v[0]) || !number(w[3], v[1]) ||
            !number(w[4], v[2]) || !number(w[5], v[3])) {
            return fail("expected n m g h g' h'");
        }
        if (n < 1 || n > kWmmDegree || m < 0 || m > n) {
            return fail("degree and order out of range");
        }
        const std::size_t at = termIndex(n, m);
        if (seen.at(at)) {
            return fail("degree " + std::to_string(n) + " order " + std::to_string(m) + " given twice");
        }
        seen.at(at) = true;
        model.g.at(at) = v[0];
        model.h.at(at) = v[1];
        model.gPerYear.at(at) = v[2];
        model.hPerYear.at(at) = v[3];
        return true;
    }
};

}  // namespace

std::optional<WmmCoefficients> readWmmCoefficients(std::string_view text, std::string& error)
{
    Reader reader(error);
    bool closed = false;
    while (!text.empty() && !closed) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++reader.lineNumber;
        const auto w = words(line);
        if (w.empty()) {
            continue;
        }
        closed = reader.lineNumber > 1 && closingLine(w);
        const bool ok = closed || (reader.lineNumber == 1 ? reader.header(line) : reader.row(line));
        if (!ok) {
            return std::nullopt;
        }
    }
    if (reader.lineNumber == 0) {
        error = "the coefficient file is empty";
        return std::nullopt;
    }
    for (int n = 1; n <= kWmmDegree; ++n) {
        for (int m = 0; m <= n; ++m) {
            if (!reader.seen.at(termIndex(n, m))) {
                error =
                    "the coefficient file has no row for degree " + std::to_string(n) + " order " + std::to_string(m);
                return std::nullopt;
            }
        }
    }
    return reader.model;
}

const WmmCoefficients& builtInWmm()
{
    static const WmmCoefficients model = [] {
        std::string error;
        // The text is the project's own data, checked by the tests; an
        // unreadable one would be a broken build, not bad input.
        return readWmmCoefficients(builtInWmmText(), error).value_or(WmmCoefficients{});
    }();
    return model;
}

}  // namespace skybrant
