#pragma once

// The controls of the window, declared once: one row per control in
// form1_controls.cpp. Building, the tab order and assistive texts are
// derived from these rows; each kind of row is wired to its one handler,
// and the own station's keys are settings/own_station.h's.

#include "settings/own_station.h"
#include "validation/range_checks.h"

#include <QRgb>

#include <array>
#include <cstdint>
#include <optional>

namespace skybrant::ui {

// Every control of the window, in the order the rows declare them: each
// frame before what it holds.
enum class Control : std::uint8_t {
    Frame1,
    Label1,
    Frame2,
    Label3,
    Label4,
    Label2,
    txtLAD1,
    txtLAM1,
    txtLAS1,
    cmbNS1,
    Label5,
    txtLOD1,
    txtLOM1,
    txtLOS1,
    cmbEW1,
    Frame3,
    Label7,
    Label9,
    Label6,
    txtLAD2,
    txtLAM2,
    txtLAS2,
    cmbNS2,
    Label8,
    txtLOD2,
    txtLOM2,
    txtLOS2,
    cmbEW2,
    Command1,
    Frame4,
    Label10,
    txtBA,
    Label11Degrees,  // member 0 of the Label11 group
    Label12,
    txtAB,
    Label13,
    Frame5,
    Label14,
    txtAB3,
    Label15,
    Label11Credit,  // member 1 of the Label11 group
};
inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::Label11Credit) + 1;

enum class Kind : std::uint8_t {
    Frame,
    Label,
    Entry,  // a coordinate box
    Hemisphere,  // an editable combo with a list of two letters
    Result,  // a read-only box the press writes
    Button,
    Link,  // a member of the Label11 group
};

// Positions and sizes in twips, 1/1440 inch, 15 to a pixel at 96 dpi: the
// unit the layout was drawn in, kept so that each row reads against it.
struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

enum class Station : std::uint8_t { None, Own, Other };

// Which stored whole number a coordinate box fills.
struct CoordinateRole {
    Station station = Station::None;
    validation::BoxRole role{};
};

// Where the own station's entries are kept between runs; the map window
// reads the saved station by these until it asks settings/ for it.
using SavedAs = settings::IniKey;

struct ControlRow {
    Control id{};
    const char* name = nullptr;
    Kind kind{};
    std::optional<Control> parent{};  // none: the window itself
    Twips place{};
    const char* text = nullptr;  // caption, initial text, or a hemisphere's first item
    int tabIndex = 0;
    const char* secondItem = nullptr;  // a hemisphere's other letter
    QRgb background = 0;  // 0: the window's pink
    QRgb textColour = 0;  // 0: the platform's
    bool bigBold = false;  // 12 pt bold instead of the window's 8 pt
    bool handCursor = false;
    bool breakAtBlanks = false;  // a two-line caption whose run of blanks marks its line break
    const char* toolTip = nullptr;
    const char* accessibleName = nullptr;
    const char* description = nullptr;
    std::optional<Control> buddy{};  // the box this caption labels
    CoordinateRole coordinate{};
    int index = 0;  // a Link's member index in its group
    SavedAs saved{};
};

// The own station's boxes, in the order of settings::kOwnStationKeys.
inline constexpr std::array<Control, settings::kOwnStationKeys.size()> kOwnStationBoxes{Control::txtLAD1,
    Control::txtLAM1, Control::txtLAS1, Control::cmbNS1, Control::txtLOD1, Control::txtLOM1, Control::txtLOS1,
    Control::cmbEW1};

// The rows, indexed by Control.
const std::array<ControlRow, kControlCount>& controlRows();

inline const ControlRow& rowOf(Control id)
{
    return controlRows()[static_cast<std::size_t>(id)];
}

}  // namespace skybrant::ui
