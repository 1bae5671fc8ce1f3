#include "keystroke_filter.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>

#include <algorithm>

namespace skybrant::ui {

namespace {

bool isEditingCommand(const QKeyEvent& e)
{
    static constexpr QKeySequence::StandardKey kCommands[] = {
        QKeySequence::Copy,
        QKeySequence::Cut,
        QKeySequence::Paste,
        QKeySequence::SelectAll,
        QKeySequence::Undo,
        QKeySequence::Redo,
    };
    return std::ranges::any_of(kCommands, [&e](QKeySequence::StandardKey command) { return e.matches(command); });
}

bool typesNothing(int key)
{
    switch (key) {
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Insert:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        return key >= Qt::Key_F1 && key <= Qt::Key_F35;
    }
}

// Character codes a key event types, or none for an editing command
// (copy, paste, undo, ...) or a key that types nothing (Delete, arrows,
// Home, End, Tab, function keys). Backspace, Enter and Escape count as
// the characters 8, 13 and 27.
QString typedCharacters(const QKeyEvent& e)
{
    if (isEditingCommand(e) || typesNothing(e.key())) {
        return {};
    }
    // Named by their key: the text of these varies with the platform.
    switch (e.key()) {
    case Qt::Key_Backspace:
        return {QChar(8)};
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return {QChar(13)};
    case Qt::Key_Escape:
        return {QChar(27)};
    default:
        return e.text();
    }
}

}  // namespace

KeystrokeFilter::KeystrokeFilter(QObject* parent, Handler handler) : QObject(parent), handler_(std::move(handler)) { }

bool KeystrokeFilter::accept(const QString& characters)
{
    for (const QChar c : characters) {
        char16_t code = c.unicode();
        handler_(code);
        if (code == 0) {
            return false;  // one message at most for one keystroke
        }
    }
    return true;
}

bool KeystrokeFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        return !accept(typedCharacters(*static_cast<QKeyEvent*>(event)));
    }
    if (event->type() == QEvent::InputMethod) {
        auto* ime = static_cast<QInputMethodEvent*>(event);
        if (ime->commitString().isEmpty() || accept(ime->commitString())) {
            return false;
        }
        // Drop the committed text but let the composition end normally.
        QInputMethodEvent withoutCommit(ime->preeditString(), ime->attributes());
        QCoreApplication::sendEvent(watched, &withoutCommit);
        return true;
    }
    return false;
}

}  // namespace skybrant::ui
