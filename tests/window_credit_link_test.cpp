// The credit link: either member of the Label11 group, or the help key,
// opens the author's page through the desktop.

#include "form1_fixture.h"

#include "skybrant_version.h"

#include <QFile>
#include <QLabel>

namespace skybrant::ui {
namespace {

// The index of the member clicked is not looked at: a click on the
// "Degrees" beside the own heading opens the page as the credit line does.
TEST_F(Form1Test, EitherMemberOfTheCreditGroupOpensTheAuthorsPage)
{
    const auto labels = form->findChildren<QLabel*>(QStringLiteral("Label11"));
    ASSERT_EQ(labels.size(), 2);
    for (QLabel* l : labels) {
        SCOPED_TRACE(l->text().toStdString());
        urls.recorder.opened.clear();
        QTest::mouseClick(l, Qt::LeftButton);
        ASSERT_EQ(urls.recorder.opened.size(), 1U);
        EXPECT_TRUE(urls.recorder.opened[0].toString().endsWith(u"about.html"));
    }
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(Form1Test, HelpKeyOpensTheCreditLinkWithoutEnteringTheTabOrder)
{
    edit("txtLAM1")->setFocus();
    QTest::keyClick(edit("txtLAM1"), Qt::Key_F1);
    ASSERT_EQ(urls.recorder.opened.size(), 1U);
    EXPECT_TRUE(urls.recorder.opened[0].toString().endsWith(u"about.html"));
    EXPECT_TRUE(sink.shown.empty());
    for (QLabel* l : form->findChildren<QLabel*>(QStringLiteral("Label11"))) {
        EXPECT_EQ(l->focusPolicy(), Qt::NoFocus);
    }
}

// The page is the about page installed with the program, which names the
// licence and the version.
TEST_F(Form1Test, TheAuthorsPageIsTheInstalledAboutPage)
{
    QTest::mouseClick(form->findChildren<QLabel*>(QStringLiteral("Label11")).value(0), Qt::LeftButton);
    ASSERT_EQ(urls.recorder.opened.size(), 1U);
    const QUrl page = urls.recorder.opened[0];
    EXPECT_TRUE(page.isLocalFile()) << page.toString().toStdString();
    EXPECT_TRUE(page.path().endsWith(u"/share/skybrant/about.html")) << page.toString().toStdString();
    QFile about(page.toLocalFile());
    ASSERT_TRUE(about.open(QIODevice::ReadOnly));
    const QByteArray html = about.readAll();
    EXPECT_TRUE(html.contains("MIT licence"));
    EXPECT_TRUE(html.contains(SKYBRANT_VERSION));
}

}  // namespace
}  // namespace skybrant::ui
