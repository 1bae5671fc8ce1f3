#pragma once

#include "aim/aiming_model.h"

#include <QWidget>

#include <chrono>
#include <functional>
#include <optional>

class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace skybrant::ui {

class CallsignLookup;

// The side panel of the map window, drawn from the aiming model: a field
// that takes the other station as skybrant-cli does, or as a callsign; both
// stations, the headings, the distances both ways, the sun at both ends and
// the place under the pointer. What is typed is sent to the model.
class StationPanel final : public QWidget {
public:
    using Clock = std::function<std::chrono::sys_seconds()>;
    StationPanel(aim::AimingModel& model, CallsignLookup& callsigns, Clock clock, QWidget* parent = nullptr);
    ~StationPanel() override;
    StationPanel(const StationPanel&) = delete;
    StationPanel& operator=(const StationPanel&) = delete;

    // Reads the field as Enter does: true when it named a station or a
    // callsign is being looked up.
    bool takeOtherText(const QString& text);
    // Puts back what the field showed before typing began.
    void cancelTyping();
    QLineEdit* field() const { return field_; }

    // The problem line: one problem replaces the last; tell() adds a line.
    void showProblem(const QString& text);
    void tell(const QString& text);

    // The form, for the window's own rows below the figures.
    QFormLayout* form() const { return form_; }

    // The figures that follow the clock: the sun at both ends and the
    // magnetic beam heading, by today's field.
    void showClockFigures();
    void showPointer(const std::optional<Position>& position);

private:
    void show(unsigned changes);
    void showFigures();

    aim::AimingModel& model_;
    CallsignLookup& callsigns_;
    Clock clock_;
    int subscription_ = -1;
    QString shownText_;  // the field's text for the station on the map

    QFormLayout* form_ = nullptr;
    QLineEdit* field_ = nullptr;
    QPushButton* show_ = nullptr;
    QLabel* problem_ = nullptr;
    QLabel* ownText_ = nullptr;
    QLabel* otherText_ = nullptr;
    QLabel* heading_ = nullptr;
    QLabel* backHeading_ = nullptr;
    QLabel* shortPath_ = nullptr;
    QLabel* longPath_ = nullptr;
    QLabel* ownSun_ = nullptr;
    QLabel* otherSun_ = nullptr;
    QLabel* pointer_ = nullptr;
};

}  // namespace skybrant::ui
