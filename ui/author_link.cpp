#include "author_link.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace skybrant::ui {

QUrl authorPageUrl()
{
    const QString configured = QStringLiteral(SKYBRANT_AUTHOR_URL);
    if (!configured.isEmpty()) {
        return QUrl::fromUserInput(configured);
    }
    // Beside the program: <prefix>/bin/skybrant finds
    // <prefix>/share/skybrant/about.html, in the build tree as installed.
    const QString relative = QStringLiteral("skybrant/about.html");
    const QString besideProgram =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/") + relative);
    if (QFileInfo::exists(besideProgram)) {
        return QUrl::fromLocalFile(QFileInfo(besideProgram).canonicalFilePath());
    }
    const QString found = QStandardPaths::locate(QStandardPaths::GenericDataLocation, relative);
    return QUrl::fromLocalFile(found.isEmpty() ? QStringLiteral(SKYBRANT_ABOUT_INSTALLED) : found);
}

}  // namespace skybrant::ui
