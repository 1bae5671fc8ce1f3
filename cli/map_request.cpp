#include "map_picture.h"

#include "core/utf8.h"

#include <QDateTime>
#include <QFileInfo>
#include <QString>

namespace skybrant::cli {

namespace {

std::optional<std::chrono::sys_seconds> readTime(const std::string& text)
{
    // ISO 8601 date and time, UTC unless an offset is given:
    // 2026-06-21T20:00Z, 2026-06-21T20:00:00+02:00, 2026-06-21 20:00.
    QString iso = QString::fromStdString(text);
    if (iso.size() > 10 && iso.at(10) == u' ') {
        iso[10] = u'T';
    }
    QDateTime t = QDateTime::fromString(iso, Qt::ISODate);
    if (!t.isValid() || !iso.contains(u'T')) {
        return std::nullopt;
    }
    if (t.timeSpec() == Qt::LocalTime) {
        t.setTimeSpec(Qt::UTC);
    }
    return std::chrono::sys_seconds(std::chrono::seconds(t.toSecsSinceEpoch()));
}

}  // namespace

bool readMapRequest(const std::string& file, const std::string& size, const std::string& time,
    std::chrono::sys_seconds now, MapRequest& request, std::string& error)
{
    const QString suffix = QFileInfo(QString::fromStdString(file)).suffix().toLower();
    if (suffix == u"png") {
        request.format = MapFormat::Png;
    } else if (suffix == u"svg") {
        request.format = MapFormat::Svg;
    } else {
        error = "--map: " + quote(file) + " ends neither in .png nor in .svg";
        return false;
    }
    request.file = file;

    bool ok = false;
    const int pixels = QString::fromStdString(size).toInt(&ok);
    if (!ok || pixels < kMinimumMapSize || pixels > kMaximumMapSize) {
        error = "--size: " + quote(size) + " is not a whole number of pixels from " + std::to_string(kMinimumMapSize) +
            " to " + std::to_string(kMaximumMapSize);
        return false;
    }
    request.size = pixels;

    if (time == "now") {
        request.time = now;
    } else if (time == "none") {
        request.time.reset();
    } else if (const auto t = readTime(time)) {
        request.time = t;
    } else {
        error = "--time: " + quote(time) + " is not a UTC date and time such as 2026-06-21T20:00Z, nor now or none";
        return false;
    }
    return true;
}

}  // namespace skybrant::cli
