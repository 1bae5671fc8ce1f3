// The window's messages as the user meets them: a modal box.

#include "ui/message_sink.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace skybrant::ui {
namespace {

TEST(MessageBoxSink, ShowsAModalBoxTitledSkybrantWithOneOkButton)
{
    QWidget parent;
    MessageBoxSink sink(&parent);
    QString title;
    QString text;
    int buttons = -1;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        buttons = static_cast<int>(box->buttons().size());
        modal = box->isModal();
        box->button(QMessageBox::Ok)->click();
    });
    sink.showMessage(QStringLiteral("Type only Numbers"));  // returns once dismissed
    EXPECT_EQ(title, "Skybrant");
    EXPECT_EQ(text, "Type only Numbers");
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(modal);
}

}  // namespace
}  // namespace skybrant::ui
