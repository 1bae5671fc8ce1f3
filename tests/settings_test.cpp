#include "form1_fixture.h"

#include "settings/ini_format.h"
#include "settings/settings_store.h"
#include "skybrant_version.h"
#include "ui/clickable_label.h"
#include "ui/close_signals.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

namespace skybrant::ui {
namespace {

using settings::SettingsStore;

// A fresh, empty XDG config folder for each test.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", saved); }

    QString iniPath() const { return home.path() + QStringLiteral("/Skybrant/Skybrant.ini"); }

    void writeIni(const QByteArray& bytes) const
    {
        QDir().mkpath(home.path() + QStringLiteral("/Skybrant"));
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QByteArray readIniBytes() const
    {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A window as the program makes it: the real store, then the load.
    std::unique_ptr<Form1> loadedForm()
    {
        store = settings::makeIniSettingsStore();
        auto f = std::make_unique<Form1>(&sink, store.get());
        f->Form_Load();
        return f;
    }

    static QString text(Form1& f, const char* name)
    {
        if (auto* c = f.findChild<QComboBox*>(QLatin1String(name))) {
            return c->currentText();
        }
        return f.findChild<QLineEdit*>(QLatin1String(name))->text();
    }

    QTemporaryDir home;
    QByteArray saved;
    RecordedUrls urls;
    RecordingSink sink;
    std::unique_ptr<SettingsStore> store;
};

void type(Form1& f, const char* name, const QString& keys)
{
    auto* e = f.findChild<QLineEdit*>(QLatin1String(name));
    e->setText(QString());
    e->setFocus();
    QTest::keyClicks(e, keys);
}

const char* const kOwnControls[] = {
    "txtLAD1", "txtLAM1", "txtLAS1", "cmbNS1", "txtLOD1", "txtLOM1", "txtLOS1", "cmbEW1"};

TEST_F(SettingsTest, StoreKeepsAnyTextExactly)
{
    const QString values[] = {
        QString(),
        QStringLiteral(" "),
        QStringLiteral("X"),
        QStringLiteral(" S "),
        QString(10000, u'7'),
        QStringLiteral("a\nb\r\nc"),
        QStringLiteral("back\\slash\\n"),
        QStringLiteral("\"quoted\""),
        QStringLiteral("\""),
        QStringLiteral("=a=b="),
        QStringLiteral("[x]"),
        QStringLiteral("; not a comment"),
        QStringLiteral("\u00e9\u4e2d"),
        QStringLiteral("a, b"),
        QStringLiteral("@Variant(x)"),
        QStringLiteral("\tTab\t"),
    };
    const char* sections[] = {"Latitude", "Longitude"};
    const char* keys[] = {"Degree", "Minute", "Second", "N/S", "E/W"};
    {
        auto s = settings::makeIniSettingsStore();
        int i = 0;
        for (const char* section : sections) {
            for (const char* key : keys) {
                s->save(QStringLiteral("Skybrant"), QLatin1String(section), QLatin1String(key),
                    values[i++ % std::size(values)]);
            }
        }
        QString error;
        ASSERT_TRUE(s->commit(error)) << error.toStdString();
    }
    // A second round so that every value has been in every place.
    for (int round = 0; round < 2; ++round) {
        auto s = settings::makeIniSettingsStore();
        int i = round * 10;
        for (const char* section : sections) {
            for (const char* key : keys) {
                const QString& expected = values[(i++ - round * 10) % std::size(values)];
                EXPECT_EQ(s->get(QStringLiteral("Skybrant"), QLatin1String(section), QLatin1String(key),
                              QStringLiteral("default")),
                    expected)
                    << section << "/" << key;
            }
        }
        EXPECT_FALSE(s->readProblem(QStringLiteral("Skybrant")).has_value());
    }
    const QByteArray file = readIniBytes();
    EXPECT_TRUE(file.contains("[Latitude]\n"));
    EXPECT_TRUE(file.contains("\nN/S="));
    EXPECT_TRUE(file.contains("[Longitude]\n"));
    auto s = settings::makeIniSettingsStore();
    EXPECT_EQ(s->get(QStringLiteral("Skybrant"), QStringLiteral("Nowhere"), QStringLiteral("Degree"),
                  QStringLiteral("fallback")),
        "fallback");
}

TEST(IniFormat, ReadsHandEditedFilesAndRejectsDamagedOnes)
{
    struct Case {
        QByteArray bytes;
        bool ok;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"[Latitude]\nDegree = 51 \n", true, "Latitude/Degree", "51"},
        {"[Latitude]\r\nN/S=S\r\n", true, "Latitude/N/S", "S"},
        {"\xEF\xBB\xBF; saved by hand\n\n# note\n[Longitude]\nE/W=\" W \"\n", true, "Longitude/E/W", " W "},
        {"[Longitude]\nMinute=\n", true, "Longitude/Minute", ""},
        {"[Latitude]\nSecond=a\\\\b\\nc\n", true, "Latitude/Second", "a\\b\nc"},
        {QByteArray("[Latitude]\nDegree=5\0\0\0", 22), false, nullptr, nullptr},
        {"[Latitude]\nDegree=\xff\xfe\n", false, nullptr, nullptr},
        {"[Latit", false, nullptr, nullptr},
        {"just some words\n", false, nullptr, nullptr},
        {"[Latitude]\n=5\n", false, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        QSettings::SettingsMap map;
        QString error;
        EXPECT_EQ(settings::readIni(c.bytes, map, error), c.ok) << c.bytes.toStdString();
        if (c.ok) {
            EXPECT_EQ(map.value(QLatin1String(c.key)).toString(), QString::fromUtf8(c.value)) << c.key;
        } else {
            EXPECT_FALSE(error.isEmpty());
        }
    }
}

TEST_F(SettingsTest, FirstRunEmptiesAllEightOwnEntries)
{
    auto f = loadedForm();
    for (const char* name : kOwnControls) {
        EXPECT_EQ(text(*f, name), "") << name;
    }
    EXPECT_EQ(text(*f, "txtLAD2"), " ");
    EXPECT_EQ(text(*f, "cmbNS2"), "N");
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_FALSE(QFile::exists(iniPath()));  // nothing written by a load
}

TEST_F(SettingsTest, RestoreRunsTheChecksInOrder)
{
    writeIni("[Latitude]\nDegree=90\nMinute=30\nSecond=0\nN/S=X\n[Longitude]\nDegree=95\nMinute=7\nE/W=W\n");
    auto f = loadedForm();
    // Degrees first: 90 stands, so 30 minutes are past the limit.
    EXPECT_EQ(text(*f, "txtLAM1"), "00");
    EXPECT_EQ(text(*f, "cmbNS1"), "X");
    EXPECT_EQ(text(*f, "txtLOD1"), "95");
    EXPECT_EQ(text(*f, "txtLOM1"), "7");
    EXPECT_EQ(text(*f, "cmbEW1"), "W");
    EXPECT_EQ(f->ownStored().latDegrees, 90);
    EXPECT_EQ(f->ownStored().lonDegrees, 95);
    ASSERT_EQ(sink.shown.size(), 1U);
    EXPECT_EQ(sink.shown[0].message, "Latitude is not greater than 90 ");

    writeIni("[Latitude]\nDegree=95\n");
    sink.shown.clear();
    f = loadedForm();
    ASSERT_EQ(sink.shown.size(), 1U);
    EXPECT_EQ(sink.shown[0].message, " Latitude is always less than 90 degrees");
    EXPECT_EQ(text(*f, "txtLAD1"), "");
}

TEST_F(SettingsTest, CloseSavesTheOwnStationOnceAndNeverTheOther)
{
    {
        auto f = loadedForm();
        f->show();
        type(*f, "txtLAD1", "7");
        type(*f, "txtLAM1", "30");
        f->findChild<QComboBox*>(QStringLiteral("cmbNS1"))->setCurrentIndex(1);
        type(*f, "txtLAD2", "45");
        EXPECT_TRUE(f->close());
        EXPECT_TRUE(f->ownStationSaved());
    }
    const QByteArray file = readIniBytes();
    EXPECT_FALSE(file.contains("45"));
    auto f = loadedForm();
    EXPECT_EQ(text(*f, "txtLAD1"), "7");
    EXPECT_EQ(text(*f, "txtLAM1"), "30");
    EXPECT_EQ(text(*f, "cmbNS1"), "S");
    EXPECT_EQ(text(*f, "txtLAD2"), " ");
    EXPECT_EQ(f->ownStored().latMinutes, 30);

    // A second request to end (the session ending, then the close) saves
    // nothing more: the box changed after the first save stays unsaved.
    f->Form_QueryUnload();
    f->findChild<QLineEdit*>(QStringLiteral("txtLAD1"))->setText(QStringLiteral("8"));
    f->close();
    auto again = loadedForm();
    EXPECT_EQ(text(*again, "txtLAD1"), "7");
}

TEST_F(SettingsTest, FailedSaveSaysSoAndStillCloses)
{
    struct Case {
        const char* what;
        std::function<void(const QString&)> block;
        const char* reason;
    };
    const Case cases[] = {
        {"a file where the folder should be",
            [](const QString& home) {
                QFile f(home + QStringLiteral("/Skybrant"));
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            },
            "is a file, not a folder"},
        {"a folder where the file should be",
            [](const QString& home) { QDir().mkpath(home + QStringLiteral("/Skybrant/Skybrant.ini")); },
            "a folder of that name is in the way"},
    };
    for (const auto& c : cases) {
        QTemporaryDir other;
        qputenv("XDG_CONFIG_HOME", other.path().toUtf8());
        c.block(other.path());
        sink.shown.clear();
        auto f = loadedForm();
        f->show();
        sink.shown.clear();
        EXPECT_TRUE(f->close()) << c.what;
        ASSERT_EQ(sink.shown.size(), 1U) << c.what;
        const QString& m = sink.shown[0].message;
        EXPECT_TRUE(m.contains(other.path() + QStringLiteral("/Skybrant/Skybrant.ini"))) << m.toStdString();
        EXPECT_TRUE(m.contains(QLatin1String(c.reason))) << m.toStdString();
        EXPECT_TRUE(m.contains(u"could not be saved")) << m.toStdString();
    }
}

TEST_F(SettingsTest, DamagedFileIsReportedOnceAndKeptUntilTheNextSave)
{
    const QByteArray damaged("\x7f"
                             "ELF\x02\x01\x01\0\0\0garbage",
        18);
    writeIni(damaged);
    auto f = loadedForm();
    ASSERT_EQ(sink.shown.size(), 1U);
    EXPECT_TRUE(sink.shown[0].message.contains(iniPath())) << sink.shown[0].message.toStdString();
    EXPECT_TRUE(sink.shown[0].message.contains(u"could not be read"));
    for (const char* name : kOwnControls) {
        EXPECT_EQ(text(*f, name), "") << name;
    }
    EXPECT_EQ(readIniBytes(), damaged);

    f->show();
    type(*f, "txtLAD1", "12");
    sink.shown.clear();
    EXPECT_TRUE(f->close());
    EXPECT_TRUE(sink.shown.empty());  // the save itself went well
    f = loadedForm();
    EXPECT_EQ(text(*f, "txtLAD1"), "12");
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(SettingsTest, HangupAndInterruptCloseTheWindowAndSave)
{
    for (const int signal : {SIGHUP, SIGINT, SIGTERM}) {
        auto f = loadedForm();
        f->show();
        type(*f, "txtLOD1", QString::number(signal));
        new CloseOnSignals(f.get());
        ::raise(signal);
        for (int i = 0; i < 50 && f->isVisible(); ++i) {
            QTest::qWait(10);
        }
        EXPECT_FALSE(f->isVisible()) << signal;
        EXPECT_TRUE(f->ownStationSaved()) << signal;
        f.reset();  // puts the signals back as they were
        auto next = loadedForm();
        EXPECT_EQ(text(*next, "txtLOD1"), QString::number(signal));
    }
}

TEST_F(SettingsTest, CreditLinkOpensTheAboutPageOncePerClick)
{
    auto f = loadedForm();
    f->show();
    const auto labels = f->findChildren<ClickableLabel*>(QStringLiteral("Label11"));
    ASSERT_EQ(labels.size(), 2);
    for (ClickableLabel* l : labels) {
        QTest::mouseClick(l, Qt::LeftButton);
    }
    QTest::mouseClick(labels[0], Qt::LeftButton);
    ASSERT_EQ(urls.recorder.opened.size(), 3U);
    for (const QUrl& u : urls.recorder.opened) {
        EXPECT_EQ(u, urls.recorder.opened[0]);
    }
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
