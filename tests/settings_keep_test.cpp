// What the settings keep that they cannot use: a file that could not be
// read is never replaced, a line that could not be read and a value that
// was not understood stay as written until the user changes that setting.

#include "form1_fixture.h"

#include "settings/settings_store.h"
#include "ui/map_window.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace skybrant::ui {
namespace {

const QString kApp = QStringLiteral("Skybrant");

// Tests run as root, whom no file mode stops: while this lives the calling
// thread does without the capabilities that read past a file's mode.
class WithoutReadingPastModes {
public:
    WithoutReadingPastModes()
    {
        if (::syscall(SYS_capget, &header_, saved_) != 0) {
            return;
        }
        __user_cap_data_struct fewer[2] = {saved_[0], saved_[1]};
        fewer[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
        dropped_ = ::syscall(SYS_capset, &header_, fewer) == 0;
    }
    ~WithoutReadingPastModes()
    {
        if (dropped_) {
            ::syscall(SYS_capset, &header_, saved_);
        }
    }
    WithoutReadingPastModes(const WithoutReadingPastModes&) = delete;
    WithoutReadingPastModes& operator=(const WithoutReadingPastModes&) = delete;
    WithoutReadingPastModes(WithoutReadingPastModes&&) = delete;
    WithoutReadingPastModes& operator=(WithoutReadingPastModes&&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool dropped_ = false;
};

class SettingsKeepTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
        ASSERT_TRUE(QDir().mkpath(home.path() + QStringLiteral("/Skybrant")));
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", saved); }

    QString iniPath() const { return home.path() + QStringLiteral("/Skybrant/Skybrant.ini"); }
    void writeIni(const QByteArray& bytes, QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner) const
    {
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
        f.close();
        ASSERT_TRUE(f.setPermissions(mode));
    }
    QByteArray iniBytes() const
    {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir home;
    QByteArray saved;
};

QString problemLine(const QWidget& map)
{
    return map.findChild<QLabel*>(QStringLiteral("problem"))->text();
}

const QByteArray kStation = "[Latitude]\nDegree=51\nMinute=30\nSecond=0\nN/S=N\n\n"
                            "[Longitude]\nDegree=0\nMinute=7\nSecond=0\nE/W=W\n";

TEST_F(SettingsKeepTest, FileThatCouldNotBeReadIsNeverReplaced)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QFile::Permissions mode;
        const char* why;
    };
    QByteArray large = kStation + "\n[Rotator]\nAddress=localhost:4533\n\n[Mine]\n";
    while (large.size() < 2'000'000) {
        large += "Line" + QByteArray::number(large.size()) + "=the user's own\n";
    }
    const Case cases[] = {
        {"over 1 MiB", large, QFile::ReadOwner | QFile::WriteOwner,
            "it is larger than 1 MiB, which no settings file of Skybrant is"},
        {"not to be opened", kStation + "; mine\n[Mine]\nA=b\n", QFile::WriteOwner,
            "the file cannot be opened (Permission denied)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeIni(c.bytes, c.mode);
        const WithoutReadingPastModes asAUser;
        const QString told = QStringLiteral("The settings in %1 could not be read: %2. Skybrant starts without them "
                                            "and leaves the file as it is: nothing is saved into it until it can be "
                                            "read.")
                                 .arg(iniPath(), QLatin1String(c.why));
        {
            const auto store = settings::makeIniSettingsStore();
            const auto map = openMapAlone(store.get());
            EXPECT_EQ(problemLine(*map), told);
            map->findChild<QCheckBox*>(QStringLiteral("rings"))->click();
            EXPECT_EQ(problemLine(*map), told);  // said once
        }
        {
            RecordingSink sink;
            const auto store = settings::makeIniSettingsStore();
            Form1 form(&sink, store.get());
            form.Form_Load();
            form.show();
            EXPECT_TRUE(form.close());
            ASSERT_EQ(sink.shown.size(), 1U);
            EXPECT_EQ(sink.shown[0].message, told);
        }
        QFile::setPermissions(iniPath(), QFile::ReadOwner | QFile::WriteOwner);
        EXPECT_EQ(iniBytes(), c.bytes);
    }
}

// Each value not understood is said once, and stays as written while the
// user changes the other settings, until the user changes it.
TEST_F(SettingsKeepTest, MapValuesNotUnderstoodStayUntilChanged)
{
    writeIni(kStation + "\n[Map]\nImages=true\nRings=maybe\nUnit=furlongs\n");
    const auto store = settings::makeIniSettingsStore();
    const auto map = openMapAlone(store.get());
    EXPECT_EQ(problemLine(*map),
        QStringLiteral("The saved line \"Unit=furlongs\" under [Map] is not understood; it stays as it is until you "
                       "change the distance unit.\nThe saved line \"Rings=maybe\" under [Map] is not understood; it "
                       "stays as it is until you change the distance rings."));
    EXPECT_EQ(map->findChild<QComboBox*>(QStringLiteral("unit"))->currentText(), QStringLiteral("km"));
    EXPECT_TRUE(map->findChild<QCheckBox*>(QStringLiteral("rings"))->isChecked());

    map->findChild<QCheckBox*>(QStringLiteral("images"))->click();
    EXPECT_EQ(iniBytes(), kStation + "\n[Map]\nImages=false\nRings=maybe\nUnit=furlongs\n");
    map->findChild<QComboBox*>(QStringLiteral("unit"))->setCurrentIndex(1);
    EXPECT_EQ(iniBytes(), kStation + "\n[Map]\nImages=false\nRings=maybe\nUnit=mi\n");
    map->findChild<QCheckBox*>(QStringLiteral("rings"))->click();
    EXPECT_EQ(iniBytes(), kStation + "\n[Map]\nImages=false\nRings=false\nUnit=mi\n");
}

// A line that is not UTF-8 text (a name saved by an editor in Latin-1)
// stays byte for byte while its feature saves what it read in its place,
// and gives way only to a value the user set.
TEST_F(SettingsKeepTest, LineThatIsNotTextStaysUntilItsSettingChanges)
{
    const QByteArray before = "[Rotator]\nPreset1Name=Jos\xe9\nPreset1Target=JO01\n";
    writeIni(before);
    struct Step {
        const char* name;
        QString value;
        QByteArray after;
    };
    const Step steps[] = {
        {"what was read in its place", QString(), before},
        {"a name the user typed", QStringLiteral("Jos\u00e9"),
            "[Rotator]\nPreset1Name=Jos\xc3\xa9\nPreset1Target=JO01\n"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        const auto store = settings::makeIniSettingsStore();
        EXPECT_EQ(store->get(kApp, QStringLiteral("Rotator"), QStringLiteral("Preset1Name"), QString()), QString());
        store->save(kApp, QStringLiteral("Rotator"), QStringLiteral("Preset1Name"), s.value);
        store->save(kApp, QStringLiteral("Rotator"), QStringLiteral("Preset1Target"), QStringLiteral("JO01"));
        QString error;
        EXPECT_TRUE(store->commit(error)) << error.toStdString();
        EXPECT_EQ(iniBytes(), s.after);
    }
}

}  // namespace
}  // namespace skybrant::ui
