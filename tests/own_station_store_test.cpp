// The own station in the store as the map window asks for it: the position
// the calculator's window would load, and a station saved as that window
// would save it.

#include "form1_fixture.h"

#include "settings/own_station_store.h"
#include "settings/settings_store.h"
#include "ui/map_window.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace skybrant::ui {
namespace {

class OwnStationStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        keptHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
        ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Skybrant")));
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", keptHome); }

    QString iniPath() const { return home.filePath(QStringLiteral("Skybrant/Skybrant.ini")); }
    void writeIni(const QByteArray& bytes) const
    {
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray readIni() const
    {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir home;
    QByteArray keptHome;
};

TEST_F(OwnStationStoreTest, PositionIsTheOneTheWindowWouldLoad)
{
    const QByteArray files[] = {
        "[Latitude]\nDegree=51\nMinute=30\nSecond=0\nN/S=N\n[Longitude]\nDegree=0\nMinute=7\nSecond=0\nE/W=W\n",
        "[Latitude]\nDegree=90\nMinute=30\nSecond=0\nN/S=X\n[Longitude]\nDegree=95\nMinute=7\nE/W=W\n",
        "[Latitude]\nDegree=95\nMinute=12\n[Longitude]\nDegree=200\nMinute=61\nSecond=4\nE/W=W\n",
        "[Latitude]\nDegree=33\nMinute=52\nSecond=8\nN/S=S\n[Longitude]\nDegree=151\nMinute=12\nSecond=33\nE/W=E\n",
        "",
    };
    for (const QByteArray& bytes : files) {
        SCOPED_TRACE(bytes.toStdString());
        writeIni(bytes);
        // What the window's boxes hold once loaded is what the map is given.
        RecordingSink sink;
        const auto windowStore = settings::makeIniSettingsStore();
        Form1 form(&sink, windowStore.get());
        form.Form_Load();
        // The hemispheres are what their boxes show.
        StationEntry entry = form.ownStored();
        entry.latHemisphere = form.findChild<QComboBox*>(QStringLiteral("cmbNS1"))->currentText().toStdString();
        entry.lonHemisphere = form.findChild<QComboBox*>(QStringLiteral("cmbEW1"))->currentText().toStdString();
        const Position shown = onTheGlobe(positionFromEntry(entry));
        const auto store = settings::makeIniSettingsStore();
        const Position saved = settings::savedOwnStationPosition(*store);
        EXPECT_EQ(saved.latUnits, shown.latUnits);
        EXPECT_EQ(saved.lonUnits, shown.lonUnits);
        EXPECT_DOUBLE_EQ(saved.latDegrees, savedOwnStation(store.get()).latDegrees);
    }
}

TEST_F(OwnStationStoreTest, SavedStationIsWhatTheWindowSavesForTheSameBoxes)
{
    const QByteArray before = "; mine\n[Map]\nUnit=mi\n";
    writeIni(before);
    {
        RecordingSink sink;
        const auto store = settings::makeIniSettingsStore();
        Form1 form(&sink, store.get());
        form.Form_Load();
        const std::pair<const char*, const char*> typed[] = {{"txtLAD1", "33"}, {"txtLAM1", "52"}, {"txtLAS1", "8"},
            {"txtLOD1", "151"}, {"txtLOM1", "12"}, {"txtLOS1", "33"}};
        for (const auto& [box, text] : typed) {
            form.findChild<QLineEdit*>(QLatin1String(box))->setText(QLatin1String(text));
        }
        form.findChild<QComboBox*>(QStringLiteral("cmbNS1"))->setEditText(QStringLiteral("S"));
        form.findChild<QComboBox*>(QStringLiteral("cmbEW1"))->setEditText(QStringLiteral("E"));
        form.Form_QueryUnload();
    }
    const QByteArray byTheWindow = readIni();
    writeIni(before);
    const auto store = settings::makeIniSettingsStore();
    QString error;
    EXPECT_TRUE(settings::saveOwnStation(*store, positionFromDegrees(-33.8688, 151.2093), error))
        << error.toStdString();
    EXPECT_EQ(readIni(), byTheWindow);
    EXPECT_TRUE(byTheWindow.contains("; mine\n") && byTheWindow.contains("Unit=mi\n"));
}

TEST_F(OwnStationStoreTest, FileThatCouldNotBeReadIsNotSavedInto)
{
    // Past 1 MiB no settings file of ours goes: it is left as it is.
    QByteArray flood = "[Map]\nUnit=mi\n";
    flood.append(QByteArray((1 << 20) + 1, ';'));
    writeIni(flood);
    const auto store = settings::makeIniSettingsStore();
    QString error;
    EXPECT_FALSE(settings::saveOwnStation(*store, positionFromDegrees(51.5, 0), error));
    EXPECT_TRUE(error.contains(QStringLiteral("Skybrant.ini"))) << error.toStdString();
    EXPECT_EQ(readIni(), flood);
}

}  // namespace
}  // namespace skybrant::ui
