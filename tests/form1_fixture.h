#pragma once

#include "ui/form1.h"
#include "ui/message_sink.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

// Failure messages show a QString as its text.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace skybrant::ui {

// Records each message with what the window showed at that moment.
class RecordingSink final : public MessageSink {
public:
    struct Shown {
        QString message;
        QString watchedText;
    };

    void showMessage(const QString& text) override
    {
        shown.push_back({text, watched != nullptr ? watched->text() : QString()});
    }

    std::vector<Shown> shown;
    QLineEdit* watched = nullptr;
};

// Receives what QDesktopServices would hand to the desktop.
class UrlRecorder final : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;

public slots:  // NOLINT(readability-redundant-access-specifiers): slots are their own section to moc
    void open(const QUrl& url) { opened.push_back(url); }
};

// Routes the desktop's URL opening to a recorder while it lives, so the
// program's real open path runs without starting a browser.
class RecordedUrls {
public:
    RecordedUrls()
    {
        for (const char* scheme : {"file", "http", "https"}) {
            QDesktopServices::setUrlHandler(QLatin1String(scheme), &recorder, "open");
        }
    }
    ~RecordedUrls()
    {
        for (const char* scheme : {"file", "http", "https"}) {
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
        }
    }
    UrlRecorder recorder;
};

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<Form1>(&sink);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

public:
    QLineEdit* findEdit(const char* name) const { return edit(name); }
    QComboBox* findCombo(const char* name) const { return combo(name); }

protected:
    QLineEdit* edit(const char* name) const
    {
        auto* e = form->findChild<QLineEdit*>(QLatin1String(name));
        EXPECT_NE(e, nullptr) << name;
        return e;
    }

    QComboBox* combo(const char* name) const
    {
        auto* c = form->findChild<QComboBox*>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    // Types into a box as a user would, one key event per character.
    void type(const char* name, const QString& keys)
    {
        QLineEdit* e = edit(name);
        e->setFocus();
        e->end(false);
        QTest::keyClicks(e, keys);
    }

    // Fills a station's eight entries ("51 30 0 N 0 7 0 W"): digits typed,
    // hemispheres picked from their lists. station is "1" or "2".
    void enter(const char* station, const char* fields)
    {
        static const char* names[] = {"txtLAD", "txtLAM", "txtLAS", "cmbNS", "txtLOD", "txtLOM", "txtLOS", "cmbEW"};
        const QStringList values = QString::fromLatin1(fields).split(u' ');
        ASSERT_EQ(values.size(), 8);
        for (int i = 0; i < 8; ++i) {
            const QByteArray name = QByteArray(names[i]) + station;
            if (i % 4 == 3) {
                QComboBox* c = combo(name.constData());
                c->setCurrentIndex(c->findText(values[i]));
            } else {
                edit(name.constData())->setText(QString());
                type(name.constData(), values[i]);
            }
        }
    }

    void press() { QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton); }

    QStringList messages() const
    {
        QStringList m;
        for (const auto& s : sink.shown) {
            m << s.message;
        }
        return m;
    }

    RecordedUrls urls;
    RecordingSink sink;
    std::unique_ptr<Form1> form;
};

}  // namespace skybrant::ui
