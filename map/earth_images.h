#pragma once

#include <QImage>
#include <QString>

namespace skybrant {

// The day and night pictures of the whole earth, equirectangular (longitude
// -180 at the left, latitude 90 at the top): NASA's Visible Earth images as
// Debian's xplanet-images installs them.
struct EarthImages {
    QImage day;  // land and sea, RGB32
    QImage night;  // the lights of the night side, RGB32
    // Why the map is drawn without the images; empty when both were read.
    QString note;
    // The same in a short line for the map picture itself, naming the
    // package that brings the images; empty when both were read.
    QString mapLine;

    bool available() const { return !day.isNull() && !night.isNull(); }
};

// The folder xplanet-images installs them in.
QString defaultEarthImagesFolder();
// The Debian package that installs them there.
QString earthImagesPackage();

// Reads earth.jpg and night.jpg from the folder. When either is missing or
// unreadable neither is used: the note says so once, for the caller to
// show, and the map line says it in short on the map itself.
EarthImages loadEarthImages(const QString& folder = defaultEarthImagesFolder());

}  // namespace skybrant
