// What the map window puts on paper or in a file: the map as drawn, and the
// bearing chart from the own station through the chart page skybrant-cli
// writes with --chart FILE.
#include "core/bearing_chart.h"
#include "core/locator.h"
#include "map/chart_page.h"
#include "map_view.h"
#include "map_window.h"
#include "message_sink.h"
#include "panel_widgets.h"
#include "station_lookup.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include <chrono>
#include <string>

namespace skybrant::ui {

namespace {

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

void MapWindow::buildOutputs(QFormLayout* form)
{
    QWidget* panel = form->parentWidget();
    auto* print = panelButton(panel, "printMap", QStringLiteral("Print map\u2026"), QStringLiteral("Print the map"));
    auto* chart = panelButton(panel, "saveChart", QStringLiteral("Save chart\u2026"),
        QStringLiteral("Save the bearing chart to every country as PDF, SVG or PNG"));
    auto* row = new QHBoxLayout;
    row->addWidget(print);
    row->addWidget(chart);
    form->addRow(row);
    connect(print, &QPushButton::clicked, this, [this] {
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog dialog(&printer, this);
        dialog.setWindowTitle(QStringLiteral("Print the map"));
        QString error;
        if (dialog.exec() == QDialog::Accepted && !printMap(printer, error)) {
            MessageBoxSink(this).showMessage(error);
        }
    });
    connect(chart, &QPushButton::clicked, this, [this] {
        // Read meanwhile, so that the chart can be made once a name is chosen.
        callsigns_->prepare();
        QFileDialog dialog(this, QStringLiteral("Save the bearing chart"), QDir::homePath());
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters({QStringLiteral("PDF, a page to print (*.pdf)"), QStringLiteral("SVG picture (*.svg)"),
            QStringLiteral("PNG picture (*.png)")});
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        dialog.selectFile(QStringLiteral("bearing-chart.pdf"));
        QString error;
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() &&
            !saveChart(dialog.selectedFiles().constFirst(), error)) {
            MessageBoxSink(this).showMessage(error);
        }
    });
}

bool MapWindow::printMap(QPrinter& printer, QString& error)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = printer.outputFileName().isEmpty()
            ? QStringLiteral("Cannot print the map: the printer %1 cannot be used.").arg(printer.printerName())
            : QStringLiteral("Cannot print the map to %1: the file cannot be written.").arg(printer.outputFileName());
        return false;
    }
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRectF area(0, 0, page.width(), page.height());
    // A line naming the stations above the map, the map as large as fits.
    QFont font = painter.font();
    font.setPointSizeF(11);
    painter.setFont(font);
    QString caption = QStringLiteral("Skybrant map centred on %1").arg(fromStd(locatorOf(onTheGlobe(model_.own()), 6)));
    if (const auto& other = model_.other()) {
        caption += QStringLiteral(", the other station %1").arg(fromStd(locatorOf(onTheGlobe(other->position), 6)));
    }
    const auto seconds = std::chrono::floor<std::chrono::seconds>(clock_()).time_since_epoch().count();
    caption += QStringLiteral(", %1 UTC")
                   .arg(QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    const QRectF captionBox = painter.boundingRect(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, caption);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, caption);
    const QImage& picture = view_->picture();
    const double gap = captionBox.height() * 0.5;
    const QRectF room(0, captionBox.bottom() + gap, area.width(), area.height() - captionBox.bottom() - gap);
    QSizeF size = picture.size().toSizeF();
    size.scale(room.size(), Qt::KeepAspectRatio);
    const QRectF target(room.x() + (room.width() - size.width()) / 2, room.y(), size.width(), size.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
    if (!painter.end()) {
        error = QStringLiteral("Cannot print the map: the printer stopped before the page was done.");
        return false;
    }
    return true;
}

bool MapWindow::saveChart(const QString& path, QString& error)
{
    const std::string file = QFile::encodeName(path).toStdString();
    const auto format = chartPageFormat(file);
    if (!format) {
        error =
            QStringLiteral("Cannot save the bearing chart to %1: name a file ending in .pdf, .svg or .png.").arg(path);
        return false;
    }
    const auto files = callsigns_->files();
    if (!files) {
        const QString why = callsigns_->prepare();
        error = why.isEmpty()
            ? QStringLiteral("The country file is still being read: save the chart again in a moment.")
            : QStringLiteral("Cannot make the bearing chart: %1").arg(why);
        return false;
    }
    const auto today = std::chrono::year_month_day(std::chrono::floor<std::chrono::days>(clock_()));
    ReportOptions options;
    options.unit = model_.unit();
    options.magneticDate = today;
    const BearingChart chart = makeBearingChart(model_.own(), *files, {}, options, ChartOrder::Heading, today);
    std::string why;
    if (!writeChartPage({file, *format, localePaper()}, chart, why)) {
        error = QStringLiteral("Cannot save the bearing chart: %1").arg(fromStd(why));
        return false;
    }
    return true;
}

}  // namespace skybrant::ui
