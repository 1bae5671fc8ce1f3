#pragma once

#include <QLabel>

namespace skybrant::ui {

// A label that reports a click with its index in its group, so several
// labels can share one handler.
class ClickableLabel final : public QLabel {
    Q_OBJECT
public:
    ClickableLabel(int index, QWidget* parent) : QLabel(parent), index_(index) { }

signals:
    void clicked(int index);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int index_;
};

}  // namespace skybrant::ui
