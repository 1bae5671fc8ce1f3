#pragma once

#include <QString>

#include <string_view>

namespace skybrant::ui {

// Core's UTF-8 text as the widgets show it.
inline QString fromStd(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace skybrant::ui
