#pragma once

#include <QUrl>

namespace skybrant::ui {

// The author's page: the address set when the program is built or, by
// default, the about page installed with the program, opened as a local
// file so that the link works offline.
QUrl authorPageUrl();

}  // namespace skybrant::ui
