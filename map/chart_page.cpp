// The bearing chart as a page to print: two columns of entities under a
// title naming the own station, date, unit and country file, in PDF pages
// of the locale's paper or one sheet of SVG or PNG.
#include "chart_page.h"

#include "file_bytes.h"

#include "core/report_text.h"
#include "core/utf8.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <langinfo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>

namespace skybrant {

namespace {

// The page in points (1/72 inch).
constexpr double kMargin = 24;
constexpr double kColumnGap = 12;
constexpr double kRowHeight = 10;
constexpr int kRowFont = 7;
constexpr int kTitleFont = 14;
constexpr int kLineFont = 8;
constexpr double kPngScale = 2;  // 144 pixels to the inch

QFont font(int pixels, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QSizeF pagePoints(PaperSize paper)
{
    const QPageSize size(paper == PaperSize::Letter ? QPageSize::Letter : QPageSize::A4);
    return size.size(QPageSize::Point);
}

class ChartPainter {
public:
    ChartPainter(const BearingChart& chart, double width) : chart_(chart), width_(width)
    {
        names_ = chartColumnNames(chart);
        measureCells();
    }

    // The height of the title block.
    double titleHeight() const
    {
        const QFontMetricsF metrics(font(kLineFont));
        const QRectF box =
            metrics.boundingRect(QRectF(0, 0, width_ - 2 * kMargin, 1000), Qt::TextWordWrap, titleText());
        return kMargin + kTitleFont + 8 + box.height() + 10;
    }

    double columnWidth() const { return (width_ - 2 * kMargin - kColumnGap) / 2; }

    void drawTitle(QPainter& painter, int page) const
    {
        painter.setPen(Qt::black);
        painter.setFont(font(kTitleFont, true));
        const QString heading =
            page == 1 ? QStringLiteral("Bearing chart") : QStringLiteral("Bearing chart, page %1").arg(page);
        painter.drawText(QPointF(kMargin, kMargin + kTitleFont), heading);
        painter.setFont(font(kLineFont));
        painter.drawText(QRectF(kMargin, kMargin + kTitleFont + 8, width_ - 2 * kMargin, 1000),
            Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, titleText());
    }

    // One column of rows from first, starting at top.
    void drawColumn(QPainter& painter, double left, double top, std::size_t first, std::size_t count) const
    {
        drawCells(painter, left, top, {names_.begin(), names_.end()}, true);
        // The rule as a filled point-high bar, which every renderer prints solid.
        painter.fillRect(QRectF(left, top + kRowHeight + 1, columnWidth(), 1), Qt::black);
        for (std::size_t i = 0; i < count && first + i < chart_.rows.size(); ++i) {
            const double y = top + static_cast<double>(i + 1) * kRowHeight + 2;
            if (i % 2 == 1) {
                painter.fillRect(QRectF(left, y, columnWidth(), kRowHeight), QColor(0xee, 0xee, 0xee));
            }
            const auto cells = chartCells(chart_, chart_.rows[first + i]);
            drawCells(painter, left, y, {cells.begin(), cells.end()}, false);
        }
    }

private:
    QString titleText() const { return QString::fromStdString(chartTitle(chart_)); }

    // Every cell as wide as its widest text; the entity's name takes what
    // the others leave, and is shortened where it needs more.
    void measureCells()
    {
        const QFontMetricsF plain(font(kRowFont));
        const QFontMetricsF bold(font(kRowFont, true));
        std::vector<double> widths(names_.size(), 0);
        for (std::size_t c = 0; c < names_.size(); ++c) {
            widths[c] =
                bold.horizontalAdvance(QString::fromUtf8(names_[c].data(), static_cast<qsizetype>(names_[c].size())));
        }
        for (const ChartRow& row : chart_.rows) {
            const auto cells = chartCells(chart_, row);
            for (std::size_t c = 0; c < cells.size(); ++c) {
                widths[c] = std::max(widths[c], plain.horizontalAdvance(QString::fromStdString(cells[c])));
            }
        }
        constexpr double kPadding = 4;
        double others = 0;
        for (std::size_t c = 0; c < widths.size(); ++c) {
            widths[c] += kPadding;
            others += c == 1 ? 0 : widths[c];
        }
        widths[1] = std::max(40.0, columnWidth() - others);
        starts_.assign(1, 0);
        for (const double w : widths) {
            starts_.push_back(starts_.back() + w);
        }
    }

    void drawCells(QPainter& painter, double left, double top, const std::vector<std::string>& cells, bool bold) const
    {
        painter.setFont(font(kRowFont, bold));
        const QFontMetricsF metrics(painter.font());
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const double x = left + starts_[c];
            const double w = starts_[c + 1] - starts_[c] - 3;
            const QString text = metrics.elidedText(QString::fromStdString(cells[c]), Qt::ElideRight, w);
            const auto align = (c < 3 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
            painter.drawText(QRectF(x, top, w, kRowHeight), static_cast<int>(align), text);
        }
    }

    const BearingChart& chart_;
    double width_;
    std::vector<std::string_view> names_;
    std::vector<double> starts_;  // of each cell, from the column's left
};

// The rows a column holds between top and the foot of a page.
std::size_t rowsBetween(double top, double height)
{
    return static_cast<std::size_t>(std::max(1.0, std::floor((height - kMargin - top) / kRowHeight) - 1));
}

// Both columns of one page (or sheet) from the row first; returns the row
// after the last drawn.
std::size_t drawPage(QPainter& painter, const ChartPainter& chart, int page, std::size_t first, double height)
{
    chart.drawTitle(painter, page);
    const double top = chart.titleHeight();
    const std::size_t perColumn = rowsBetween(top, height);
    chart.drawColumn(painter, kMargin, top, first, perColumn);
    chart.drawColumn(painter, kMargin + chart.columnWidth() + kColumnGap, top, first + perColumn, perColumn);
    return first + 2 * perColumn;
}

bool drawPdf(const ChartPage& request, const BearingChart& chart, QBuffer& buffer, std::string& error)
{
    QPdfWriter pdf(&buffer);
    pdf.setPageSize(QPageSize(request.paper == PaperSize::Letter ? QPageSize::Letter : QPageSize::A4));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(72);
    pdf.setTitle(QStringLiteral("Skybrant bearing chart"));
    pdf.setCreator(QStringLiteral("Skybrant"));
    const QSizeF page = pagePoints(request.paper);
    const ChartPainter painterOf(chart, page.width());
    QPainter painter;
    if (!painter.begin(&pdf)) {
        error = "cannot draw the chart for " + quote(request.file);
        return false;
    }
    std::size_t next = drawPage(painter, painterOf, 1, 0, page.height());
    for (int number = 2; next < chart.rows.size(); ++number) {
        pdf.newPage();
        next = drawPage(painter, painterOf, number, next, page.height());
    }
    painter.end();
    return true;
}

bool drawSheet(const ChartPage& request, const BearingChart& chart, QBuffer& buffer, std::string& error)
{
    const double width = pagePoints(request.paper).width();
    const ChartPainter painterOf(chart, width);
    // Half the rows in each column, the first taking the odd one.
    const double perColumn = std::ceil(static_cast<double>(chart.rows.size()) / 2);
    const double height = painterOf.titleHeight() + (perColumn + 2) * kRowHeight + kMargin;
    QPainter painter;
    if (request.format == ChartPageFormat::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(static_cast<int>(width), static_cast<int>(std::ceil(height))));
        svg.setViewBox(QRectF(0, 0, width, height));
        svg.setResolution(72);
        svg.setTitle(QStringLiteral("Skybrant bearing chart"));
        if (!painter.begin(&svg)) {
            error = "cannot draw the chart for " + quote(request.file);
            return false;
        }
        drawPage(painter, painterOf, 1, 0, height);
        painter.end();
        return true;
    }
    QImage image(static_cast<int>(std::ceil(width * kPngScale)), static_cast<int>(std::ceil(height * kPngScale)),
        QImage::Format_RGB32);
    image.fill(Qt::white);
    if (!painter.begin(&image)) {
        error = "cannot draw the chart for " + quote(request.file);
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(kPngScale, kPngScale);
    drawPage(painter, painterOf, 1, 0, height);
    painter.end();
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        error = "cannot draw the chart for " + quote(request.file) + ": " + writer.errorString().toStdString();
        return false;
    }
    return true;
}

}  // namespace

std::optional<ChartPageFormat> chartPageFormat(std::string_view fileName)
{
    const auto endsWith = [fileName](std::string_view suffix) {
        if (fileName.size() < suffix.size()) {
            return false;
        }
        const std::string_view end = fileName.substr(fileName.size() - suffix.size());
        return std::equal(end.begin(), end.end(), suffix.begin(),
            [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
    };
    if (endsWith(".pdf")) {
        return ChartPageFormat::Pdf;
    }
    if (endsWith(".svg")) {
        return ChartPageFormat::Svg;
    }
    if (endsWith(".png")) {
        return ChartPageFormat::Png;
    }
    return std::nullopt;
}

PaperSize localePaper()
{
    // glibc gives the paper's width in mm as the pointer's value.
    const auto width = static_cast<int>(reinterpret_cast<std::intptr_t>(nl_langinfo(_NL_PAPER_WIDTH)));
    return width == 216 ? PaperSize::Letter : PaperSize::A4;
}

bool writeChartPage(const ChartPage& page, const BearingChart& chart, std::string& error)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const bool drawn = page.format == ChartPageFormat::Pdf ? drawPdf(page, chart, buffer, error)
                                                           : drawSheet(page, chart, buffer, error);
    return drawn && writeBytes(page.file, buffer.data(), "the chart", error);
}

}  // namespace skybrant
