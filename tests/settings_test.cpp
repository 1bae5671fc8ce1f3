#include "form1_fixture.h"

#include "settings/settings_file.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/sysmacros.h>

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

bool isKind(const QString& path, mode_t kind)
{
    struct stat st { };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && (st.st_mode & S_IFMT) == kind;
}

TEST_F(SettingsTest, FailedSaveSaysSoAndStillCloses)
{
    struct Case {
        const char* what;
        std::function<void(const QString& home)> block;
        // Said at the close, or, for what could not be read, once at the load.
        const char* reason;
        std::function<void(const QString& home)> check;  // what stays in place
        bool toldAtTheLoad = false;
    };
    const auto file = [](const QString& home) { return home + QStringLiteral("/Skybrant/Skybrant.ini"); };
    const Case cases[] = {
        {"a file where the folder should be",
            [](const QString& home) {
                QFile f(home + QStringLiteral("/Skybrant"));
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            },
            "is a file, not a folder", [](const QString&) {}},
        {"a folder where the file should be", [&](const QString& home) { QDir().mkpath(file(home)); },
            "it is a folder, not a regular file. Skybrant starts without them and leaves the file as it is",
            [&](const QString& home) { EXPECT_TRUE(QFileInfo(file(home)).isDir()); }, true},
        {"a symlink to a named pipe",
            [&](const QString& home) {
                QDir().mkpath(home + QStringLiteral("/Skybrant"));
                const QString pipe = home + QStringLiteral("/pipe");
                ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
                ASSERT_TRUE(QFile::link(pipe, file(home)));
            },
            "it is a named pipe, not a regular file. Skybrant starts without them and leaves the file as it is",
            [&](const QString& home) {
                EXPECT_TRUE(isKind(home + QStringLiteral("/pipe"), S_IFIFO));
                EXPECT_TRUE(isKind(file(home), S_IFLNK));
            },
            true},
        // A private node of the same kind as /dev/zero, never the real one.
        {"a symlink to a device node",
            [&](const QString& home) {
                QDir().mkpath(home + QStringLiteral("/Skybrant"));
                const QString node = home + QStringLiteral("/zero");
                ASSERT_EQ(::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0600, makedev(1, 5)), 0);
                ASSERT_TRUE(QFile::link(node, file(home)));
            },
            "it is a device, not a regular file. Skybrant starts without them and leaves the file as it is",
            [&](const QString& home) {
                EXPECT_TRUE(isKind(home + QStringLiteral("/zero"), S_IFCHR));
                EXPECT_TRUE(isKind(file(home), S_IFLNK));
            },
            true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir other;
        qputenv("XDG_CONFIG_HOME", other.path().toUtf8());
        c.block(other.path());
        sink.shown.clear();
        auto f = loadedForm();
        f->show();
        EXPECT_EQ(sink.shown.size(), c.toldAtTheLoad ? 1U : 0U);
        EXPECT_TRUE(f->close());
        ASSERT_EQ(sink.shown.size(), 1U);
        const QString& m = sink.shown[0].message;
        const QString start = c.toldAtTheLoad
            ? QStringLiteral("The settings in ") + file(other.path()) + QStringLiteral(" could not be read: ")
            : QStringLiteral("The settings could not be saved to ") + file(other.path());
        EXPECT_TRUE(m.startsWith(start)) << m.toStdString();
        EXPECT_TRUE(m.contains(QLatin1String(c.reason))) << m.toStdString();
        c.check(other.path());
    }
}

TEST_F(SettingsTest, DamagedFileIsReportedOnceAndNeverReplacedWithLess)
{
    struct Case {
        const char* what;
        QByteArray bytes;
        const char* problem;
        const char* eastWest;  // what the load put in cmbEW1
        bool saved;  // whether the close saves into the file
    };
    QByteArray huge = "[Longitude]\nE/W=W\n; " + QByteArray(settings::kMaxSettingsFileSize, 'x') + "\n";
    const Case cases[] = {
        {"a program file",
            QByteArray("\x7f"
                       "ELF\x02\x01\x01\0\0\0garbage",
                18),
            "could not be read in full: line 1 holds binary data. Skybrant starts with the values it could read and "
            "keeps the lines it could not read as they are.",
            "", true},
        {"one bad byte", "[Latitude]\nMinute=\xff\n[Longitude]\nE/W=W\n",
            "could not be read in full: line 2 is not UTF-8 text. Skybrant starts with the values it could read", "W",
            true},
        {"over 1 MiB", huge,
            "could not be read: it is larger than 1 MiB, which no settings file of Skybrant is. Skybrant starts "
            "without them and leaves the file as it is: nothing is saved into it until it can be read.",
            "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeIni(c.bytes);
        sink.shown.clear();
        auto f = loadedForm();
        ASSERT_EQ(sink.shown.size(), 1U);
        const QString& m = sink.shown[0].message;
        EXPECT_TRUE(m.startsWith(QStringLiteral("The settings in ") + iniPath())) << m.toStdString();
        EXPECT_TRUE(m.contains(QLatin1String(c.problem))) << m.toStdString();
        EXPECT_EQ(text(*f, "cmbEW1"), c.eastWest);
        EXPECT_EQ(readIniBytes(), c.bytes);

        f->show();
        type(*f, "txtLAD1", "12");
        sink.shown.clear();
        EXPECT_TRUE(f->close());
        EXPECT_TRUE(sink.shown.empty());  // said once, at the load
        const QByteArray after = readIniBytes();
        if (!c.saved) {
            EXPECT_EQ(after, c.bytes);
            continue;
        }
        // Every line that could not be read is still there, byte for byte.
        for (const QByteArray& line : c.bytes.split('\n')) {
            EXPECT_TRUE(after.contains(line)) << line.toStdString();
        }
        f = loadedForm();
        EXPECT_EQ(text(*f, "txtLAD1"), "12");
        EXPECT_EQ(text(*f, "cmbEW1"), c.eastWest);
    }
}

// Closes the window when the first message comes, as a close request from
// outside does while a box is open.
class ClosingSink final : public MessageSink {
public:
    void showMessage(const QString& text) override
    {
        shown << text;
        if (form != nullptr) {
            form->close();
        }
    }
    QStringList shown;
    Form1* form = nullptr;
};

TEST_F(SettingsTest, CloseDuringTheLoadSavesOnlyWhatWasShown)
{
    const QByteArray stored = "[Latitude]\nDegree=7\nMinute=75\nSecond=20\nN/S=S\n\n"
                              "[Longitude]\nDegree=30\nMinute=40\nSecond=50\nE/W=W\n";
    writeIni(stored);
    ClosingSink closing;
    store = settings::makeIniSettingsStore();
    Form1 f(&closing, store.get());
    closing.form = &f;
    f.Form_Load();
    EXPECT_TRUE(f.ownStationSaved());
    EXPECT_EQ(closing.shown, QStringList{QStringLiteral("Number of minites less than 60")});
    // Minutes were shown (and reset); seconds onwards were never shown.
    QByteArray expected = stored;
    expected.replace("Minute=75", "Minute=");
    EXPECT_EQ(readIniBytes(), expected);
}

// A settings file kept elsewhere (in a dotfiles folder, say) and linked in:
// read through the link, and saved into the file it names.
TEST_F(SettingsTest, SymlinkToARegularFileIsFollowed)
{
    QDir().mkpath(home.path() + QStringLiteral("/Skybrant"));
    const QString target = home.path() + QStringLiteral("/dotfiles.ini");
    {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("; mine\n[Latitude]\nDegree=7\n");
    }
    ASSERT_TRUE(QFile::link(target, iniPath()));
    auto f = loadedForm();
    EXPECT_EQ(text(*f, "txtLAD1"), "7");
    f->show();
    type(*f, "txtLAD1", "8");
    EXPECT_TRUE(f->close());
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_TRUE(QFileInfo(iniPath()).isSymLink());
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().startsWith("; mine\n[Latitude]\nDegree=8\nMinute=\n"));
}

TEST_F(SettingsTest, TemporaryFilesLeftByAKilledSaveGoAtTheNextSave)
{
    writeIni("[Latitude]\nDegree=7\n");
    const QString dir = home.path() + QStringLiteral("/Skybrant/");
    // Left by a save killed after naming its file: six random letters.
    const QStringList leftovers = {QStringLiteral("Skybrant.ini.FdZRIH"), QStringLiteral("Skybrant.ini.qWeRty")};
    // Named by a person, or by another program: kept.
    const QStringList kept = {QStringLiteral("Skybrant.ini.backup"), QStringLiteral("Skybrant.ini.Broken"),
        QStringLiteral("Skybrant.ini.bak"), QStringLiteral("Skybrant.ini.AB12CD"), QStringLiteral("Other.ini.FdZRIH")};
    for (const QString& name : leftovers + kept) {
        QFile f(dir + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Latitude]\nDegree=1\n");
    }
    auto f = loadedForm();
    EXPECT_TRUE(f->close());
    EXPECT_TRUE(sink.shown.empty());
    for (const QString& name : leftovers) {
        EXPECT_FALSE(QFile::exists(dir + name)) << name.toStdString();
    }
    for (const QString& name : kept) {
        EXPECT_TRUE(QFile::exists(dir + name)) << name.toStdString();
    }
}

}  // namespace
}  // namespace skybrant::ui
