#pragma once

#include "core/station.h"
#include "form1_controls.h"
#include "message_sink.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

class QAction;
class QCloseEvent;
class QStyle;

namespace skybrant::settings {
class SettingsStore;
}

namespace skybrant::ui {

class MapWindow;

// The calculator's window.
class Form1 final : public QWidget {
    Q_OBJECT
public:
    // Messages go to sink, or to modal boxes when it is null. The own
    // station is kept in store (not at all when it is null).
    explicit Form1(MessageSink* sink = nullptr, settings::SettingsStore* store = nullptr, QWidget* parent = nullptr);
    ~Form1() override;

    // Fills the own station's eight entries from the store; runs once the
    // window is made, before it is shown.
    void Form_Load();
    // Saves the own station's eight entries; runs when the window is asked
    // to close, for whatever reason, and never cancels it. Only the first
    // call saves: the program may hear of its end more than one way.
    void Form_QueryUnload();
    bool ownStationSaved() const { return saved_; }

    // The stored whole numbers of the coordinate boxes (the hemisphere
    // texts are read from their boxes at each press, not stored).
    const StationEntry& ownStored() const { return own_; }
    const StationEntry& otherStored() const { return other_; }

    // The window's events by their names. The boxes are wired to the one
    // handler of their kind, to which each of these passes its own box.
    // Change handling of the coordinate boxes, on every change of their text.
    void txtLAD1_Change() { boxChanged(Control::txtLAD1); }
    void txtLAM1_Change() { boxChanged(Control::txtLAM1); }
    void txtLAS1_Change() { boxChanged(Control::txtLAS1); }
    void txtLOD1_Change() { boxChanged(Control::txtLOD1); }
    void txtLOM1_Change() { boxChanged(Control::txtLOM1); }
    void txtLOS1_Change() { boxChanged(Control::txtLOS1); }
    void txtLAD2_Change() { boxChanged(Control::txtLAD2); }
    void txtLAM2_Change() { boxChanged(Control::txtLAM2); }
    void txtLAS2_Change() { boxChanged(Control::txtLAS2); }
    void txtLOD2_Change() { boxChanged(Control::txtLOD2); }
    void txtLOM2_Change() { boxChanged(Control::txtLOM2); }
    void txtLOS2_Change() { boxChanged(Control::txtLOS2); }

    // Keystrokes: the handler sets keyAscii to 0 to drop the character.
    void txtLAD1_KeyPress(char16_t& keyAscii) { coordinateKeyPress(keyAscii); }
    void txtLAM1_KeyPress(char16_t& keyAscii) { coordinateKeyPress(keyAscii); }
    void txtLAS1_KeyPress(char16_t& keyAscii) { coordinateKeyPress(keyAscii); }
    void txtLOD1_KeyPress(char16_t& keyAscii) { coordinateKeyPress(keyAscii); }
    void txtLOM1_KeyPress(char16_t& keyAscii) { coordinateKeyPress(keyAscii); }
    void txtLOS1_KeyPress(char16_t& keyAscii) { coordinateKeyPress(keyAscii); }
    void txtLAD2_KeyPress(char16_t& keyAscii) { coordinateKeyPress(keyAscii); }
    void txtLAM2_KeyPress(char16_t& keyAscii) { coordinateKeyPress(keyAscii); }
    void txtLAS2_KeyPress(char16_t& keyAscii) { coordinateKeyPress(keyAscii); }
    void txtLOD2_KeyPress(char16_t& keyAscii) { coordinateKeyPress(keyAscii); }
    void txtLOM2_KeyPress(char16_t& keyAscii) { coordinateKeyPress(keyAscii); }
    void txtLOS2_KeyPress(char16_t& keyAscii) { coordinateKeyPress(keyAscii); }
    // The hemisphere handlers stay members so that every handler wires alike.
    // NOLINTBEGIN(readability-convert-member-functions-to-static)
    void cmbNS1_KeyPress(char16_t& keyAscii) { hemisphereKeyPress(keyAscii); }
    void cmbEW1_KeyPress(char16_t& keyAscii) { hemisphereKeyPress(keyAscii); }
    void cmbNS2_KeyPress(char16_t& keyAscii) { hemisphereKeyPress(keyAscii); }
    void cmbEW2_KeyPress(char16_t& keyAscii) { hemisphereKeyPress(keyAscii); }
    // NOLINTEND(readability-convert-member-functions-to-static)

    void Command1_Click();
    void Label11_Click(int index);

    // Opens the map of the two stations (or brings it to the front); it
    // follows each later press of Command1.
    void openMap();
    MapWindow* mapWindow() const;
    // Shows "Turn the antenna to N degrees" in the context menu when a
    // rotator is saved and a heading is shown; runs as the menu opens.
    void prepareContextMenu();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Built from the rows of form1_controls.cpp.
    QWidget* makeControl(const ControlRow& row, QWidget* parent);
    void buildControls();
    template <typename W>
    W* control(Control id) const
    {
        return static_cast<W*>(widgets_[static_cast<std::size_t>(id)]);
    }
    StationEntry& station(Station s) { return s == Station::Own ? own_ : other_; }
    QString controlText(Control id) const;
    void setControlText(Control id, const QString& text);

    void boxChanged(Control box);
    void resetBox(Control box, std::u16string_view text);
    void coordinateKeyPress(char16_t& keyAscii);
    static void hemisphereKeyPress(char16_t& keyAscii);
    void showMessage(std::u16string_view text);
    StationEntry enteredStation(Station s) const;
    void mapFollows();

    std::unique_ptr<QStyle> classicStyle_;  // outlives the frames that use it
    std::unique_ptr<MessageSink> ownedSink_;
    MessageSink* sink_;
    settings::SettingsStore* store_;
    bool saved_ = false;
    std::size_t restored_ = 0;  // saved entries the load has put in their boxes
    bool themeIconAsked_ = false;
    bool pressed_ = false;  // the map shows the other station once computed
    QPointer<MapWindow> map_;
    QAction* turnAntenna_ = nullptr;

    StationEntry own_;
    StationEntry other_;
    std::array<QWidget*, kControlCount> widgets_{};
};

}  // namespace skybrant::ui
