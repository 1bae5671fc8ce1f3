#include "batch.h"
#include "report.h"

#include "core/number_text.h"

#include <algorithm>
#include <array>

namespace skybrant::cli {

namespace {

// Puts a CSV line together on the stack and hands it to the output string
// in one piece where it can: this is on the path of every pair a batch
// reads, and a string's append costs more than copying a few bytes.
class CsvLine {
public:
    CsvLine(std::string& out, std::string_view decimalSeparator) : out_(out), separator_(decimalSeparator) { }
    CsvLine(const CsvLine&) = delete;
    CsvLine& operator=(const CsvLine&) = delete;
    ~CsvLine() { flush(); }

    // The first field.
    void first(const Figure& figure)
    {
        if (figure.shown) {
            end_ = writeTenthsText(end_, figure.tenths, separator_);
        }
    }

    void field(const Figure& figure)
    {
        if (room() < kNumberTextCapacity + 1) {
            flush();
        }
        *end_++ = ',';
        first(figure);
    }

    void field(std::string_view text)
    {
        if (room() < text.size() + 1) {
            flush();
            out_ += ',';
            out_ += text;
            return;
        }
        *end_++ = ',';
        end_ = std::copy(text.begin(), text.end(), end_);
    }

    void endLine()
    {
        if (room() < 1) {
            flush();
        }
        *end_++ = '\n';
    }

private:
    std::size_t room() const { return static_cast<std::size_t>(bytes_.data() + bytes_.size() - end_); }

    void flush()
    {
        out_.append(bytes_.data(), end_);
        end_ = bytes_.data();
    }

    std::string& out_;
    std::string_view separator_;
    // Room for every figure of a line, so that a line is appended once.
    std::array<char, 8 * (kNumberTextCapacity + 1) + 128> bytes_;
    char* end_ = bytes_.data();
};

}  // namespace

void appendCsv(const Report& r, const ReportOptions& options, std::string& out)
{
    CsvLine line(out, options.decimalSeparator);
    line.first(r.distance);
    line.field(r.ownToOther);
    line.field(r.otherToOwn);
    if (options.longPath) {
        line.field(r.longDistance);
        line.field(r.longHeading);
    }
    if (options.ellipsoid != nullptr) {
        line.field(r.ellipsoidDistance);
        line.field(r.ellipsoidOwnToOther);
        line.field(r.ellipsoidOtherToOwn);
    }
    if (options.locators) {
        line.field(r.ownLocator6);
        line.field(r.ownLocator8);
        line.field(r.otherLocator6);
        line.field(r.otherLocator8);
    }
    if (options.sunDate) {
        line.field(r.ownSun.sunrise);
        line.field(r.ownSun.sunset);
        line.field(r.otherSun.sunrise);
        line.field(r.otherSun.sunset);
    }
    if (options.magneticDate) {
        line.field(r.ownMagneticHeading);
        line.field(r.otherMagneticHeading);
        line.field(r.ownDeclination);
        line.field(r.otherDeclination);
    }
    line.endLine();
}

namespace {

// A CSV field, quoted where it holds a comma, a quote or a line end.
void appendCsvText(std::string_view text, std::string& out)
{
    // Fields are short: one pass over the bytes, not a search per byte.
    const auto quoted = [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; };
    if (std::none_of(text.begin(), text.end(), quoted)) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
}

}  // namespace

void appendCsvField(std::string_view text, std::string& out)
{
    out += ',';
    appendCsvText(text, out);
}

bool csvColumnsShown(CsvColumnGroup group, const BatchOptions& options)
{
    switch (group) {
    case CsvColumnGroup::Figures:
        return true;
    case CsvColumnGroup::LongPath:
        return options.report.longPath;
    case CsvColumnGroup::Ellipsoid:
        return options.report.ellipsoid != nullptr;
    case CsvColumnGroup::Locators:
        return options.report.locators;
    case CsvColumnGroup::Sun:
        return options.report.sunDate.has_value();
    case CsvColumnGroup::Magnetic:
        return options.report.magneticDate.has_value();
    case CsvColumnGroup::Callsigns:
        return options.entity && options.callsigns != nullptr;
    }
    return false;
}

void appendCsvHeader(const BatchOptions& options, std::string& out)
{
    std::string_view comma;
    for (const CsvColumns& columns : kCsvColumns) {
        if (csvColumnsShown(columns.group, options)) {
            out += comma;
            out += columns.names;
            comma = ",";
        }
    }
    out += '\n';
}

void appendChartCsv(const BearingChart& chart, std::string& out)
{
    const bool magnetic = chart.options.magneticDate.has_value();
    out += "prefix,entity,continent,heading,distance,long_heading,long_distance";
    out += magnetic ? ",magnetic_heading,long_magnetic_heading\n" : "\n";
    for (const ChartRow& row : chart.rows) {
        appendCsvText(row.entity->primaryPrefix, out);
        out += ',';
        appendCsvText(row.entity->name, out);
        out += ',';
        appendCsvText(row.entity->continent, out);
        CsvLine line(out, chart.options.decimalSeparator);
        line.field(row.report.ownToOther);
        line.field(row.report.distance);
        line.field(row.report.longHeading);
        line.field(row.report.longDistance);
        if (magnetic) {
            line.field(row.report.ownMagneticHeading);
            line.field(row.report.longMagneticHeading);
        }
        line.endLine();
    }
}

}  // namespace skybrant::cli
