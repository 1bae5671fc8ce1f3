#include "message_sink.h"

#include "core/utf8.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <string>

namespace skybrant::ui {

namespace {

bool toStandardError = false;

// One line that cannot drive a terminal, whatever the text holds (a file
// name from the environment, say).
QByteArray oneLine(const QString& text)
{
    std::string out;
    appendShown(text.toStdString(), out);
    return QByteArray::fromStdString(out);
}

}  // namespace

void MessageBoxSink::showMessage(const QString& text)
{
    if (toStandardError) {
        std::fprintf(stderr, "skybrant: %s\n", oneLine(text).constData());
        return;
    }
    if (qEnvironmentVariableIsSet("SKYBRANT_STARTUP_PROBE")) {
        std::printf("message %s\n", oneLine(text).constData());
        std::fflush(stdout);
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Skybrant"), text, QMessageBox::Ok, parent_);
    box.exec();
}

void messagesToStandardError()
{
    toStandardError = true;
}

void alsoOnStandardError(const QString& text)
{
    if (!toStandardError) {
        std::fprintf(stderr, "skybrant: %s\n", oneLine(text).constData());
    }
}

void closeMessageBoxes()
{
    messagesToStandardError();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) {
            box->done(QMessageBox::Ok);
        }
    }
}

}  // namespace skybrant::ui
