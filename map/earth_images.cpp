#include "earth_images.h"

#include "core/utf8.h"

#include <QDir>
#include <QImageReader>

namespace skybrant {

namespace {

QImage readImage(const QString& path, QString& error)
{
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull()) {
        error = QStringLiteral("%1: %2").arg(
            QString::fromStdString(quote(QDir::toNativeSeparators(path).toStdString())), reader.errorString());
        return {};
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

QString defaultEarthImagesFolder()
{
    return QStringLiteral(SKYBRANT_EARTH_IMAGES);
}

QString earthImagesPackage()
{
    return QStringLiteral(SKYBRANT_EARTH_IMAGES_PACKAGE);
}

EarthImages loadEarthImages(const QString& folder)
{
    EarthImages images;
    const QDir dir(folder);
    QString error;
    QImage day = readImage(dir.filePath(QStringLiteral("earth.jpg")), error);
    QImage night = day.isNull() ? QImage() : readImage(dir.filePath(QStringLiteral("night.jpg")), error);
    if (!day.isNull() && !night.isNull() && day.size() != night.size()) {
        error = QStringLiteral("the day and night pictures differ in size");
        night = QImage();
    }
    if (day.isNull() || night.isNull()) {
        images.note = QStringLiteral(
            "The map is drawn without land, sea and night lights: the earth images could not be read (%1). "
            "They come with the Debian package %2.")
                          .arg(error, earthImagesPackage());
        images.mapLine = QStringLiteral("No earth pictures: install the package %1").arg(earthImagesPackage());
        return images;
    }
    images.day = std::move(day);
    images.night = std::move(night);
    return images;
}

}  // namespace skybrant
