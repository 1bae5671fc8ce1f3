#pragma once
// The small widgets the panels and dialogs build alike.

#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace skybrant::ui {

// A button named for the tests and read out by its accessible name; Enter
// in a field of the panel never presses it.
QPushButton* panelButton(QWidget* parent, const char* name, const QString& text, const QString& accessible);

// A dialog's line for what is wrong with what was typed: red plain text,
// wrapped, hidden until there is something to say.
QLabel* problemLabel(QWidget* parent, const char* name);

}  // namespace skybrant::ui
