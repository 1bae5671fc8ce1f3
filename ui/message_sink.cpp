#include "message_sink.h"

#include <QMessageBox>

namespace skybrant::ui {

void MessageBoxSink::showMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Skybrant"), text, QMessageBox::Ok, parent_);
    box.exec();
}

}  // namespace skybrant::ui
