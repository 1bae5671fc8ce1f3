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

// A modal box titled "Skybrant" with the text and one OK button.
class MessageBoxSink final : public MessageSink {
public:
    explicit MessageBoxSink(QWidget* parent) : parent_(parent) { }
    void showMessage(const QString& text) override;

private:
    QWidget* parent_;
};

}  // namespace skybrant::ui
