#pragma once

#include <QObject>

#include <functional>

namespace skybrant::ui {

// Hands every typed character, and every character an input method commits,
// to a handler that may set the code to 0 to drop the keystroke. Editing
// commands and keys without a character pass untouched.
class KeystrokeFilter final : public QObject {
public:
    using Handler = std::function<void(char16_t& code)>;
    KeystrokeFilter(QObject* parent, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // False when the handler dropped one of the characters.
    bool accept(const QString& characters);

    Handler handler_;
};

}  // namespace skybrant::ui
