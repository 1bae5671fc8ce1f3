// The map window's Cluster page against a cluster written in the test on a
// loopback port: spots placed and listed newest first, filtered, picked as
// the other station; the propagation line, the console both ways; bad
// lines, a flood and a restart of the cluster; the [Cluster] settings.

#include "aim/station_text.h"
#include "core/country_files.h"
#include "core/report.h"
#include "core/report_text.h"
#include "country_file_on_disk.h"
#include "fake_cluster.h"
#include "settings/settings_read.h"
#include "settings/settings_store.h"
#include "ui/cluster_panel.h"
#include "ui/cluster_spot_list.h"
#include "ui/map_window.h"
#include "ui/station_lookup.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

namespace skybrant::ui {
namespace {

using namespace std::chrono_literals;
using cluster::testing::FakeCluster;

constexpr std::string_view kCountries = "Germany:                  14:  28:  EU:   51.00:   -10.00:    -1.0:  DL:\n"
                                        "    DL;\n"
                                        "United States:            05:  08:  NA:   40.00:   100.00:     5.0:  K:\n"
                                        "    K,W;\n";

const std::chrono::sys_seconds kStart = std::chrono::sys_days{std::chrono::year{2026} / 12 / 10} + 18h;

Position at(const char* text)
{
    return aim::readStationText(text, nullptr, aim::Source::Typed).station.value().position;
}

// Reads the test's country file, wherever the window would look.
CallsignLookup::Reader readerOf(const std::string& path)
{
    return [path](const std::string&, std::string& error) -> std::shared_ptr<const CountryFiles> {
        auto files = std::make_shared<CountryFiles>();
        return files->load(path, error) ? files : nullptr;
    };
}

// The page alone, with its own model, country file and clock.
struct Page {
    explicit Page(settings::SettingsStore* store = nullptr)
        : cty("cluster_panel", kCountries), lookup(nullptr, readerOf(cty.path())),
          panel(
              model, lookup, store, [this] { return now; }, cluster::testing::quick())
    {
        model.request(aim::SetOwn{at("JO01mm")});
        panel.onSpotsChanged = [this] { ++told; };
        panel.show();
    }
    template <typename W = QWidget>
    W* find(const char* name)
    {
        auto* w = panel.findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char* name) { return find<QLabel>(name)->text(); }
    bool connectTo(const FakeCluster& cluster)
    {
        find<QLineEdit>("clusterAddress")->setText(cluster.address());
        find<QLineEdit>("clusterCallsign")->setText(QStringLiteral("dl1abc"));
        QTest::mouseClick(find<QPushButton>("clusterConnect"), Qt::LeftButton);
        return QTest::qWaitFor([&] { return cluster.received.contains("DL1ABC\r\n"); }, 5000);
    }
    // Each row's column, newest first.
    QStringList column(int c)
    {
        QStringList texts;
        QTreeWidget* tree = panel.list()->tree();
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            texts << tree->topLevelItem(i)->text(c);
        }
        return texts;
    }
    bool rows(int n)
    {
        return QTest::qWaitFor([&] { return panel.list()->tree()->topLevelItemCount() == n; }, 5000);
    }

    testing::CountryFileOnDisk cty;
    aim::AimingModel model;
    CallsignLookup lookup;
    std::chrono::sys_seconds now = kStart;
    int told = 0;
    ClusterPanel panel;
};

enum Column { Time, Frequency, Dx, Heading, Distance, Band, Continent, Spotter };

TEST(ClusterPanel, ListsThePlacedSpotsNewestFirst)
{
    Page page;
    FakeCluster cluster;
    ASSERT_TRUE(page.connectTo(cluster));
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.text("clusterState").contains("logged in"); }, 5000))
        << page.text("clusterState").toStdString();

    QByteArray script = "DX de W3LPL-#:    7025.1  DL1ABC       CW 22 dB 28 WPM CQ             1801Z\r\n"
                        "DX de DL1ABC:    50313.0  K1AB         FT8                    1802Z FN42\r\n"
                        "DX de dl2xyz:14074\tw1aw\t\tFT8 JO62<ES>FN31   \t 1803Z\r\n"
                        "DX de DL1ABC: 14025 ZZ1ZZ CW 1804Z\r\n"
                        "WWV de W0MU <18>:   SFI=68, A=4, K=1, No Storms -> No Storms\r\n"
                        "WCY de DK0WCY-1 <18> : K=2 expK=3 A=6 R=15 SFI=75 SA=qui GMF=qui Au=no\r\n";
    script += QByteArray(qsizetype{100} * 1024, 'x') + "\r\n";
    script += QByteArray("\xff\xfb\x01\x00\x01\x1b[2J\x80\xfe binary\r\n", 20);
    script += "DL1ABC de TEST 10-Dec-2026 1805Z >\r\n";
    cluster.send(script);
    ASSERT_TRUE(page.rows(3)) << page.column(Dx).join(u' ').toStdString();

    // Each column under its own title.
    const QStringList titles = {"UTC", "kHz", "DX", "Heading", "Distance", "Band", "Cont.", "Spotter"};
    for (int c = 0; c < static_cast<int>(titles.size()); ++c) {
        EXPECT_EQ(page.panel.list()->tree()->headerItem()->text(c), titles[c]);
    }
    EXPECT_EQ(page.column(Dx), QStringList({"W1AW", "K1AB", "DL1ABC"}));
    EXPECT_EQ(page.column(Spotter), QStringList({"DL2XYZ", "DL1ABC", "W3LPL"}));
    EXPECT_EQ(page.column(Time), QStringList({"1803Z", "1802Z", "1801Z"}));
    EXPECT_EQ(page.column(Band), QStringList({"20m", "6m", "40m"}));
    EXPECT_EQ(page.column(Continent), QStringList({"NA", "NA", "EU"}));
    EXPECT_EQ(page.column(Frequency), QStringList({"14074.0", "50313.0", "7025.1"}));
    // The heading as the compute flow gives it, to the grid or the country.
    for (const auto& [row, place] : {std::pair{0, "FN31"}, std::pair{1, "FN42"}, std::pair{2, "51 10"}}) {
        const Report r = makeReport(page.model.own(), at(place), {});
        EXPECT_EQ(page.column(Heading)[row], QString::number(r.ownToOther.value) + QStringLiteral("\u00b0")) << place;
        EXPECT_EQ(page.column(Distance)[row], QString::fromStdString(figureText(r.distance)) + QStringLiteral(" km"))
            << place;
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.text("clusterUnplaced").contains("ZZ1ZZ"); }, 2000))
        << page.text("clusterUnplaced").toStdString();
    EXPECT_TRUE(page.text("clusterPropagation").startsWith("SFI 75, A 6, K 2 (WCY de DK0WCY-1 at 18:00 UTC)"))
        << page.text("clusterPropagation").toStdString();
    EXPECT_TRUE(page.text("clusterState").contains("last spot at")) << page.text("clusterState").toStdString();
    EXPECT_GE(page.told, 1);

    // The console: the cluster's other lines, harmless, and the user's command.
    const auto console = [&] { return page.find<QPlainTextEdit>("clusterConsole")->toPlainText(); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return console().contains("DL1ABC de TEST 10-Dec-2026 1805Z >"); }, 2000));
    EXPECT_TRUE(console().contains("login:"));
    EXPECT_TRUE(console().contains(QString(cluster::kMaxClusterLine, u'x')));
    EXPECT_FALSE(console().contains(QChar(0x1b)));
    auto* command = page.find<QLineEdit>("clusterCommand");
    command->setText(QStringLiteral("SH/DX 20"));
    QTest::keyClick(command, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return cluster.received.contains("SH/DX 20\r\n"); }, 2000));
    EXPECT_TRUE(console().contains("> SH/DX 20"));
    EXPECT_TRUE(command->text().isEmpty());

    // Not logged in: the command stays in the field and the page says why.
    QTest::mouseClick(page.find<QPushButton>("clusterDisconnect"), Qt::LeftButton);
    command->setText(QStringLiteral("SH/WWV"));
    QTest::keyClick(command, Qt::Key_Return);
    EXPECT_FALSE(page.text("clusterProblem").isEmpty());
    EXPECT_EQ(command->text(), QStringLiteral("SH/WWV"));
    EXPECT_EQ(page.text("clusterState"), QStringLiteral("not connected"));
}

TEST(ClusterPanel, FiltersAndPicksTheOtherStation)
{
    Page page;
    FakeCluster cluster;
    ASSERT_TRUE(page.connectTo(cluster));
    cluster.send("DX de W3LPL: 7025.1 DL1ABC CW 1801Z\r\n"
                 "DX de DL1ABC: 50313.0 K1AB FT8 1802Z FN42\r\n"
                 "DX de DL2XYZ: 14074 W1AW FT8 1803Z FN31\r\n"
                 "DX de K3LR: 14025 DL2ZZ CW 1804Z\r\n");
    ASSERT_TRUE(page.rows(4));
    auto* bands = page.find<QComboBox>("clusterBandFilter");
    auto* continents = page.find<QComboBox>("clusterContinentFilter");
    // The bands heard, in the order of the spectrum.
    ASSERT_EQ(bands->count(), 4);
    EXPECT_EQ(bands->itemText(1), QStringLiteral("40m"));
    EXPECT_EQ(bands->itemText(3), QStringLiteral("6m"));
    const struct {
        const char* name;
        const char* band;  // empty for all
        const char* continent;
        QStringList calls;
    } cases[] = {
        {"all", "", "", {"DL2ZZ", "W1AW", "K1AB", "DL1ABC"}},
        {"one band", "20m", "", {"DL2ZZ", "W1AW"}},
        {"one continent", "", "EU", {"DL2ZZ", "DL1ABC"}},
        {"both", "20m", "NA", {"W1AW"}},
        {"none", "6m", "EU", {}},
    };
    for (const auto& c : cases) {
        bands->setCurrentIndex(std::max(0, bands->findText(QLatin1String(c.band))));
        continents->setCurrentIndex(std::max(0, continents->findText(QLatin1String(c.continent))));
        EXPECT_EQ(page.column(Dx), c.calls) << c.name;
    }
    bands->setCurrentIndex(0);
    continents->setCurrentIndex(0);
    // The filter holds while new spots come in.
    bands->setCurrentIndex(bands->findText(QStringLiteral("40m")));
    cluster.send("DX de W3LPL: 7030 W1XYZ CW 1805Z\r\nDX de W3LPL: 14030 W2XYZ CW 1805Z\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.panel.board().size() == 6; }, 5000));
    ASSERT_TRUE(page.rows(2));
    EXPECT_EQ(page.column(Dx), QStringList({"W1XYZ", "DL1ABC"}));
    bands->setCurrentIndex(0);

    // A double-click makes the spot the other station, at the compute flow's bearing.
    QTreeWidget* tree = page.panel.list()->tree();
    QTreeWidgetItem* w1aw = tree->findItems(QStringLiteral("W1AW"), Qt::MatchExactly, Dx).value(0);
    ASSERT_NE(w1aw, nullptr);
    const QPoint centre = tree->visualItemRect(w1aw).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, centre);
    const auto& other = page.model.other();
    ASSERT_TRUE(other.has_value());
    EXPECT_EQ(other->label, "W1AW");
    EXPECT_EQ(other->name, "W1AW, United States");
    EXPECT_EQ(other->source, aim::Source::Clicked);
    EXPECT_FALSE(other->approximate);
    const GreatCircleResult gc = solvePositions(page.model.own(), at("FN31"));
    ASSERT_TRUE(page.model.report().has_value());
    EXPECT_EQ(page.model.report()->ownToOther.value, roundHeading(gc.headingOwnToOther));
}

TEST(ClusterPanel, TakesAFloodInBatchesAndLetsSpotsAge)
{
    Page page;
    FakeCluster cluster;
    ASSERT_TRUE(page.connectTo(cluster));
    QByteArray flood;
    for (int i = 0; i < 3000; ++i) {
        flood += QStringLiteral("DX de W3LPL: 14%1 K%2AB FT8 1800Z FN42\r\n")
                     .arg(i % 300, 3, 10, QLatin1Char('0'))
                     .arg(i)
                     .toLatin1();
    }
    cluster.send(flood);
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.panel.board().size() == 3000; }, 10000));
    ASSERT_TRUE(page.rows(3000));
    // Shown in a few batches, not once per line.
    EXPECT_LT(page.told, 50);

    // Half the time: still there; past it: gone from the board and the list.
    page.now = kStart + 20min;
    const int told = page.told;
    QTest::qWait(1500);
    EXPECT_EQ(page.panel.board().size(), 3000U);
    page.find<QSpinBox>("clusterMinutes")->setValue(15);
    ASSERT_TRUE(page.rows(0));
    EXPECT_EQ(page.panel.board().size(), 0U);
    EXPECT_GT(page.told, told);
}

TEST(ClusterPanel, ReconnectsAfterAHangUpAndARestart)
{
    Page page;
    auto cluster = std::make_unique<FakeCluster>();
    const quint16 port = cluster->port();
    ASSERT_TRUE(page.connectTo(*cluster));
    cluster->hangUp();
    cluster->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.text("clusterState").contains("trying again in"); }, 5000))
        << page.text("clusterState").toStdString();
    ASSERT_TRUE(cluster->listen(port));
    const int before = cluster->connections;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return cluster->connections > before && cluster->received.contains("DL1ABC\r\n"); }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.text("clusterState").startsWith("logged in"); }, 5000))
        << page.text("clusterState").toStdString();
    cluster->send("DX de W3LPL: 7025 DL1ABC CW 1801Z\r\n");
    EXPECT_TRUE(page.rows(1));
}

// A settings folder of the test's own, with other sections already in it.
struct ConfigHome {
    ConfigHome()
    {
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
        file = QString::fromStdString(settings::settingsFilePath("Skybrant"));
    }
    ~ConfigHome() { qunsetenv("XDG_CONFIG_HOME"); }
    ConfigHome(const ConfigHome&) = delete;
    ConfigHome& operator=(const ConfigHome&) = delete;
    void write(const QByteArray& text)
    {
        QDir().mkpath(QFileInfo(file).path());
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QString read()
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QTemporaryDir dir;
    QString file;
};

TEST(ClusterPanel, KeepsItsSettingsInTheClusterSection)
{
    ConfigHome home;
    home.write("; the operator's note\n[Map]\nUnit=mi\n[Rotator]\nAddress=127.0.0.1:4533\n"
               "[Cluster]\nSpotMinutes=soon\n");
    FakeCluster cluster;
    {
        const auto store = settings::makeIniSettingsStore();
        Page page(store.get());
        EXPECT_TRUE(page.text("clusterProblem").contains("soon")) << page.text("clusterProblem").toStdString();
        EXPECT_EQ(page.find<QSpinBox>("clusterMinutes")->value(), 30);
        ASSERT_TRUE(page.connectTo(cluster));
        const QString saved = home.read();
        EXPECT_TRUE(saved.contains("Address=" + cluster.address())) << saved.toStdString();
        EXPECT_TRUE(saved.contains("Callsign=dl1abc")) << saved.toStdString();
        EXPECT_TRUE(saved.contains("SpotMinutes=soon")) << saved.toStdString();
        for (const char* kept : {"; the operator's note", "[Map]\nUnit=mi", "[Rotator]\nAddress=127.0.0.1:4533"}) {
            EXPECT_TRUE(saved.contains(QLatin1String(kept))) << kept << "\n" << saved.toStdString();
        }
        page.find<QSpinBox>("clusterMinutes")->setValue(45);
        EXPECT_TRUE(home.read().contains("SpotMinutes=45")) << home.read().toStdString();
    }
    const auto store = settings::makeIniSettingsStore();
    Page again(store.get());
    EXPECT_EQ(again.find<QLineEdit>("clusterAddress")->text(), cluster.address());
    EXPECT_EQ(again.find<QLineEdit>("clusterCallsign")->text(), QStringLiteral("dl1abc"));
    EXPECT_EQ(again.find<QSpinBox>("clusterMinutes")->value(), 45);
    EXPECT_TRUE(again.text("clusterProblem").isEmpty());
    // Left connected: connected again as the window opens; left
    // disconnected, not.
    using State = cluster::ClusterClient::State;
    EXPECT_TRUE(QTest::qWaitFor([&] { return again.panel.client().state() == State::LoggedIn; }, 5000))
        << again.text("clusterState").toStdString();
    QTest::mouseClick(again.find<QPushButton>("clusterDisconnect"), Qt::LeftButton);
    EXPECT_TRUE(home.read().contains("Connect=false")) << home.read().toStdString();
    {
        const auto third = settings::makeIniSettingsStore();
        Page page(third.get());
        QTest::qWait(100);
        EXPECT_EQ(page.panel.client().state(), State::Stopped);
    }
    // A Connect line not understood is said, kept as written, and read as
    // not connecting.
    home.write("[Cluster]\nAddress=" + cluster.address().toUtf8() + "\nConnect=maybe\n");
    const auto fourth = settings::makeIniSettingsStore();
    Page page(fourth.get());
    QTest::qWait(100);
    EXPECT_EQ(page.panel.client().state(), State::Stopped);
    EXPECT_TRUE(page.text("clusterProblem").contains("maybe")) << page.text("clusterProblem").toStdString();
    page.find<QSpinBox>("clusterMinutes")->setValue(20);
    EXPECT_TRUE(home.read().contains("Connect=maybe")) << home.read().toStdString();
}

TEST(ClusterPanel, IsTheMapWindowsSecondPage)
{
    MapWindow window(nullptr);
    ASSERT_NE(window.cluster(), nullptr);
    EXPECT_EQ(window.tabs()->tabText(1), QStringLiteral("Cluster"));
    EXPECT_EQ(window.tabs()->widget(1), window.cluster());
    EXPECT_EQ(window.cluster()->board().size(), 0U);
}

}  // namespace
}  // namespace skybrant::ui
