#pragma once

#include <QString>

class QWidget;

namespace skybrant::ui {

// Where the window's messages go. The real one is a modal box; the window
// goes on only once it has been dismissed.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void showMessage(const QString& text) = 0;
};

// A modal box titled "Skybrant" with the text and one OK button. With
// SKYBRANT_STARTUP_PROBE set it also prints "message <text>" on standard
// output as the box opens, for the tests that wait for it.
class MessageBoxSink final : public MessageSink {
public:
    explicit MessageBoxSink(QWidget* parent) : parent_(parent) { }
    void showMessage(const QString& text) override;

private:
    QWidget* parent_;
};

// Once the program ends by itself (a signal, the display going away) nobody
// may be there to press OK: the open boxes close, and every later message
// goes to standard error instead of a box.
void closeMessageBoxes();
void messagesToStandardError();

// A failure worth a line on standard error as well as where the window
// shows it (a save that did not reach the disk); said once where every
// message goes there already.
void alsoOnStandardError(const QString& text);

}  // namespace skybrant::ui
