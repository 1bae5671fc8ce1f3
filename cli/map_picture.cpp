// The module skybrant-cli loads to draw a map: Qt's graphical side takes
// longer to load than all the rest of the program, so only a run that draws
// one pays for it.
#include "map_picture.h"
#include "map_module.h"

#include "core/locator.h"
#include "core/utf8.h"
#include "map/azimuthal_map.h"
#include "map/earth_images.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QSvgGenerator>

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
    const QString path = QString::fromStdString(request.file);

    if (request.format == MapFormat::Svg) {
        // The base as a picture, the paths and stations drawn over it as
        // lines and text.
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(QSize(request.size, request.size));
        svg.setViewBox(QRect(0, 0, request.size, request.size));
        svg.setTitle(QStringLiteral("Skybrant map"));
        QPainter painter;
        if (!painter.begin(&svg)) {
            error = "cannot write the map to " + quote(request.file);
            return false;
        }
        painter.drawImage(0, 0, map.base());
        map.drawOverlay(painter, station);
        painter.end();
        if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0) {
            error = "cannot write the map to " + quote(request.file);
            return false;
        }
        return true;
    }
    QImageWriter writer(path, "png");
    if (!writer.write(map.picture(station))) {
        error = "cannot write the map to " + quote(request.file) + ": " + writer.errorString().toStdString();
        return false;
    }
    return true;
}

}  // namespace skybrant::cli

extern "C" {

// The entry points map_module.h names, of the types it gives them.
[[gnu::visibility("default")]] QCoreApplication* skybrant_cli_map_application(int& argc, char** argv)
{
    return new QGuiApplication(argc, argv);
}

[[gnu::visibility("default")]] bool skybrant_cli_write_map(const skybrant::cli::MapRequest* request,
    const skybrant::Position* own, const skybrant::Position* other, std::string* note, std::string* error)
{
    return skybrant::cli::writeMap(*request, *own, *other, *note, *error);
}

}  // extern "C"

static_assert(std::is_same_v<decltype(skybrant_cli_map_application), skybrant::cli::MapApplicationEntry>);
static_assert(std::is_same_v<decltype(skybrant_cli_write_map), skybrant::cli::WriteMapEntry>);
