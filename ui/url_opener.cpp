#include "url_opener.h"

#include <QDesktopServices>
#include <QUrl>

namespace skybrant::ui {

void DesktopUrlOpener::open(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

}  // namespace skybrant::ui
