#include "clickable_label.h"

#include <QMouseEvent>

namespace skybrant::ui {

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked(index_);
    }
    QLabel::mouseReleaseEvent(event);
}

}  // namespace skybrant::ui
