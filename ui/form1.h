#pragma once

#include "core/station.h"
#include "message_sink.h"
#include "url_opener.h"
#include "validation/range_checks.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

class QCloseEvent;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStyle;

namespace skybrant::settings {
class SettingsStore;
}

namespace skybrant::ui {

class ClickableLabel;

// The calculator's one window.
class Form1 final : public QWidget {
    Q_OBJECT
public:
    // Messages go to sink, or to modal boxes when it is null. The own
    // station is kept in store (not at all when it is null); addresses
    // open through opener, or the desktop when it is null.
    explicit Form1(MessageSink* sink = nullptr, settings::SettingsStore* store = nullptr, UrlOpener* opener = nullptr,
        QWidget* parent = nullptr);
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

    // Change handling of the coordinate boxes, on every change of their text.
    void txtLAD1_Change();
    void txtLAM1_Change();
    void txtLAS1_Change();
    void txtLOD1_Change();
    void txtLOM1_Change();
    void txtLOS1_Change();
    void txtLAD2_Change();
    void txtLAM2_Change();
    void txtLAS2_Change();
    void txtLOD2_Change();
    void txtLOM2_Change();
    void txtLOS2_Change();

    // Keystrokes: the handler sets keyAscii to 0 to drop the character.
    void txtLAD1_KeyPress(char16_t& keyAscii);
    void txtLAM1_KeyPress(char16_t& keyAscii);
    void txtLAS1_KeyPress(char16_t& keyAscii);
    void txtLOD1_KeyPress(char16_t& keyAscii);
    void txtLOM1_KeyPress(char16_t& keyAscii);
    void txtLOS1_KeyPress(char16_t& keyAscii);
    void txtLAD2_KeyPress(char16_t& keyAscii);
    void txtLAM2_KeyPress(char16_t& keyAscii);
    void txtLAS2_KeyPress(char16_t& keyAscii);
    void txtLOD2_KeyPress(char16_t& keyAscii);
    void txtLOM2_KeyPress(char16_t& keyAscii);
    void txtLOS2_KeyPress(char16_t& keyAscii);
    void cmbNS1_KeyPress(char16_t& keyAscii);
    void cmbEW1_KeyPress(char16_t& keyAscii);
    void cmbNS2_KeyPress(char16_t& keyAscii);
    void cmbEW2_KeyPress(char16_t& keyAscii);

    void Command1_Click();
    void Label11_Click(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    enum Box { LAD1, LAM1, LAS1, LOD1, LOM1, LOS1, LAD2, LAM2, LAS2, LOD2, LOM2, LOS2, kBoxCount };

    struct CoordinateBox {
        QLineEdit* edit = nullptr;
        validation::BoxRole role{};
        std::int32_t* stored = nullptr;
        const std::int32_t* degrees = nullptr;  // same station and coordinate
    };

    QGroupBox* frame(QWidget* parent, const char* name, const char* title, const QRect& geometry);
    void buildControls();
    void describeForAssistiveTools();
    void wireHandlers();
    void boxChanged(Box box);
    static void resetBox(CoordinateBox& box, std::u16string_view text);
    void coordinateKeyPress(char16_t& keyAscii);
    static void hemisphereKeyPress(char16_t& keyAscii);
    void showMessage(std::u16string_view text);
    // The text of one of the own station's boxes, by its name.
    QString controlText(const char* name) const;
    void setControlText(const char* name, const QString& text);

    std::unique_ptr<QStyle> classicStyle_;  // outlives the frames that use it
    std::unique_ptr<MessageSink> ownedSink_;
    MessageSink* sink_;
    settings::SettingsStore* store_;
    std::unique_ptr<UrlOpener> ownedOpener_;
    UrlOpener* opener_;
    bool saved_ = false;
    bool themeIconAsked_ = false;

    StationEntry own_;
    StationEntry other_;
    std::array<CoordinateBox, kBoxCount> boxes_{};

    QComboBox* cmbNS1_ = nullptr;
    QComboBox* cmbEW1_ = nullptr;
    QComboBox* cmbNS2_ = nullptr;
    QComboBox* cmbEW2_ = nullptr;
    QPushButton* command1_ = nullptr;
    QLineEdit* txtBA_ = nullptr;
    QLineEdit* txtAB_ = nullptr;
    QLineEdit* txtAB3_ = nullptr;
    std::array<ClickableLabel*, 2> label11_{};
};

}  // namespace skybrant::ui
