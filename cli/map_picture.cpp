// The module skybrant-cli loads to draw a map: Qt's graphical side takes
// longer to load than all the rest of the program, so only a run that draws
// one pays for it.
#include "map_picture.h"
#include "map_module.h"
#include "module_qt.h"
#include "usage.h"

#include "core/locator.h"
#include "core/utf8.h"
#include "map/azimuthal_map.h"
#include "map/earth_images.h"
#include "map/file_bytes.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QSvgGenerator>

#include <array>
#include <cstdio>
#include <memory>
#include <type_traits>

namespace skybrant::cli {

bool writeMap(
    const MapRequest& request, const Position& own, const Position& other, std::string& note, std::string& error)
{
    const auto images = std::make_shared<const EarthImages>(loadEarthImages());
    note = images->note.toStdString();
    AzimuthalMap map(own, request.size, images);
    map.setNightTime(request.time);
    const OtherStation station{other, QString::fromStdString(locatorOf(onTheGlobe(other), 6))};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (request.format == MapFormat::Svg) {
        // The base as a picture, the paths and stations drawn over it as
        // lines and text.
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(request.size, request.size));
        svg.setViewBox(QRect(0, 0, request.size, request.size));
        svg.setTitle(QStringLiteral("Skybrant map"));
        QPainter painter;
        if (!painter.begin(&svg)) {
            error = "cannot draw the map for " + quote(request.file);
            return false;
        }
        painter.drawImage(0, 0, map.base());
        map.drawOverlay(painter, station);
        painter.end();
    } else {
        QImageWriter writer(&buffer, "png");
        if (!writer.write(map.picture(station))) {
            error = "cannot draw the map for " + quote(request.file) + ": " + writer.errorString().toStdString();
            return false;
        }
    }
    return writeBytes(request.file, buffer.data(), "the map", error);
}

}  // namespace skybrant::cli

namespace {

// Qt's debug, info and warning messages (QStandardPaths on a run without
// XDG_RUNTIME_DIR, fonts, the offscreen platform) are about Qt, not the
// map, and would reach the terminal of every cron job; the critical ones
// still do.
void keepQtQuiet(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "skybrant-cli: %s\n", message.toLocal8Bit().constData());
    }
}

}  // namespace

namespace skybrant::cli {

bool inOffscreenApplication(const std::function<bool()>& work)
{
    const QtMessageHandler previous = qInstallMessageHandler(keepQtQuiet);
    bool done = false;
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        int argc = 1;
        std::string name(kProgramName);
        std::array<char*, 2> argv{name.data(), nullptr};
        const QGuiApplication app(argc, argv.data());
        done = work();
    }
    qInstallMessageHandler(previous);
    return done;
}

}  // namespace skybrant::cli

extern "C" {

// The entry point map_module.h names, of the type it gives it. The map is
// drawn offscreen, so that it needs no display, in an application that
// lasts as long as the drawing.
[[gnu::visibility("default")]] bool skybrant_cli_write_map(const skybrant::cli::MapRequest* request,
    const skybrant::Position* own, const skybrant::Position* other, std::string* note, std::string* error)
{
    return skybrant::cli::inOffscreenApplication(
        [&] { return skybrant::cli::writeMap(*request, *own, *other, *note, *error); });
}

}  // extern "C"

static_assert(std::is_same_v<decltype(skybrant_cli_write_map), skybrant::cli::WriteMapEntry>);
