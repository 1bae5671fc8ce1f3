// The map window tried as a user would: what it shows never contradicts the
// antenna or the connection, nothing turns unannounced, and typed text is
// shown as typed.

#include "aim/rotator_service.h"
#include "rotator_panel_window.h"
#include "rotator_peers.h"
#include "ui/map_view.h"
#include "ui/station_panel.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace std::chrono_literals;
using skybrant::rotctl::RotatorLink;
using skybrant::testing::FakeRotator;
using skybrant::testing::LoopbackSocket;
using skybrant::testing::MemoryStore;
using skybrant::testing::PanelWindow;
using skybrant::testing::waitUntil;
using State = RotatorLink::State;

const std::string kLimits = "Minimum Azimuth: 0.000000\nMaximum Azimuth: 360.000000\nRPRT 0\n";

// Whether a button can be seen and pressed: shown, at its full height, and
// not clipped away by the panel.
bool seen(QPushButton* button)
{
    return button->isVisible() && button->height() >= button->minimumSizeHint().height() &&
        !button->visibleRegion().isEmpty();
}

TEST(MapWindowFaults, PresetButtonsStayWhateverThePanelSays)
{
    FakeRotator fake({kLimits, "0.00\n0.00\n", "RPRT 0\n"}, false);
    MemoryStore store;
    store.values[{QStringLiteral("Rotator"), QStringLiteral("Preset1Name")}] = QStringLiteral("Home");
    store.values[{QStringLiteral("Rotator"), QStringLiteral("Preset1Target")}] = QStringLiteral("61");
    PanelWindow w(store);
    w.quietTiming();
    w.connectTo(fake.port());
    ASSERT_TRUE(w.connectedWithPosition());
    struct Size {
        const char* name;
        QSize size;
    };
    const Size sizes[] = {{"ordinary", QSize(1280, 760)}, {"smallest", w.window.minimumSizeHint()}};
    for (const Size& s : sizes) {
        SCOPED_TRACE(s.name);
        w.window.resize(s.size);
        // A red line, then a turn: the rows below must keep their room.
        w.window.rotatorService().turnToPreset(1);
        ASSERT_FALSE(w.find<QLabel>("rotatorProblem")->isHidden());
        ASSERT_TRUE(w.window.takeOtherText(QStringLiteral("FN20xr")));
        w.window.model().request(skybrant::aim::TurnTo{61, skybrant::aim::Source::Typed});
        QApplication::processEvents();
        for (int i = 1; i <= 8; ++i) {
            auto* preset = w.find<QPushButton>(QStringLiteral("rotatorPreset%1").arg(i).toLatin1().constData());
            // Scrolled into view as Tab does it.
            for (QWidget* up = preset->parentWidget(); up != nullptr; up = up->parentWidget()) {
                if (auto* area = qobject_cast<QScrollArea*>(up)) {
                    area->ensureWidgetVisible(preset);
                }
            }
            QApplication::processEvents();
            EXPECT_TRUE(seen(preset)) << i << " is " << preset->height() << " px high";
        }
        EXPECT_TRUE(w.find<QPushButton>("rotatorEditPresets")->height() > 0);
        // At the smallest size the map keeps the room and the field stays usable.
        EXPECT_GE(w.window.view()->width(), 300);
        EXPECT_GE(w.find<QLineEdit>("otherField")->width(), 120);
    }
}

TEST(MapWindowFaults, ATurnThatCannotBeSentIsShownAndNeverStartsLater)
{
    LoopbackSocket refusing(false);
    MemoryStore store;
    store.values[{QStringLiteral("Rotator"), QStringLiteral("Address")}] =
        QStringLiteral("127.0.0.1:%1").arg(refusing.port);
    PanelWindow w(store);
    w.window.rotatorService().turnWhenConnected(61);
    EXPECT_EQ(w.text("rotatorProgress"),
        QStringLiteral("Waiting for the rotator to answer, then turning to 61\u00b0 (Stop cancels)"));
    ASSERT_TRUE(waitUntil([&] { return w.panel->link().state() == State::Reconnecting; }, 5s));
    EXPECT_TRUE(w.text("rotatorProblem").startsWith(QStringLiteral("The turn to 61\u00b0 was not sent: ")))
        << w.text("rotatorProblem").toStdString();
    EXPECT_FALSE(w.panel->aim().pendingHeading()) << "nothing waits to turn when the rotator comes back";
    EXPECT_TRUE(w.find<QLabel>("rotatorProgress")->isHidden());

    // Stop cancels a turn still waiting, and says nothing of rotators.
    w.panel->disconnectRotator();
    w.window.rotatorService().turnWhenConnected(90);
    ASSERT_TRUE(w.panel->aim().pendingHeading());
    QTest::mouseClick(w.find<QPushButton>("rotatorStop"), Qt::LeftButton);
    EXPECT_FALSE(w.panel->aim().pendingHeading());
    EXPECT_TRUE(w.find<QLabel>("rotatorProblem")->isHidden()) << w.text("rotatorProblem").toStdString();
    w.panel->disconnectRotator();
}

TEST(MapWindowFaults, ADaemonThatNeverAnswersIsNeverConnected)
{
    LoopbackSocket silent(true);  // the kernel accepts; nobody answers
    MemoryStore store;
    PanelWindow w(store);
    RotatorLink::Timing timing;
    timing.exchange = 200ms;
    timing.firstPause = 100ms;
    timing.longestPause = 800ms;
    w.panel->link().setTiming(timing);
    bool everConnected = false;
    QObject::connect(&w.panel->link(), &RotatorLink::stateChanged,
        [&](State state) { everConnected = everConnected || state == State::Connected; });
    w.connectTo(silent.port);
    std::vector<long> pauses;
    ASSERT_TRUE(waitUntil(
        [&] {
            const long pause = static_cast<long>(w.panel->link().nextPause().count());
            if (w.panel->link().state() == State::Reconnecting && (pauses.empty() || pauses.back() != pause)) {
                pauses.push_back(pause);
            }
            return pauses.size() >= 4;
        },
        10s));
    EXPECT_FALSE(everConnected);
    EXPECT_EQ(pauses, (std::vector<long>{100, 200, 400, 800})) << "the pause grows while nothing answers";
    EXPECT_FALSE(w.text("rotatorState").startsWith(QStringLiteral("Connected")));
    EXPECT_FALSE(w.find<QLabel>("rotatorProblem")->isHidden());
    w.panel->disconnectRotator();
}

TEST(MapWindowFaults, EscapeAndClicksInTheStationField)
{
    MemoryStore store;
    PanelWindow w(store);
    auto* field = w.find<QLineEdit>("otherField");
    ASSERT_TRUE(w.window.takeOtherText(QStringLiteral("FN20xr")));
    field->setText(QStringLiteral("FN2"));
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(field->text(), QStringLiteral("FN20xr")) << "Esc cancels the typing";
    EXPECT_TRUE(w.find<QLabel>("rotatorProblem")->isHidden()) << w.text("rotatorProblem").toStdString();

    // A mistake, then a click: the place clicked is in the field and the
    // mistake is gone.
    ASSERT_FALSE(w.window.takeOtherText(QStringLiteral("91 0")));
    ASSERT_FALSE(w.find<QLabel>("problem")->isHidden());
    skybrant::ui::MapView* view = w.window.view();
    const QPoint at = view->widgetPointOf(skybrant::positionFromDegrees(40, -74)).toPoint();
    QTest::mouseClick(view, Qt::LeftButton, {}, at);
    EXPECT_TRUE(w.find<QLabel>("problem")->isHidden()) << w.text("problem").toStdString();
    const auto clicked = view->positionAt(at);
    ASSERT_TRUE(clicked);
    EXPECT_EQ(
        field->text(), QStringLiteral("%1 %2").arg(clicked->latDegrees, 0, 'f', 4).arg(clicked->lonDegrees, 0, 'f', 4));
    EXPECT_TRUE(w.window.takeOtherText(field->text())) << "the field reads back what a click put there";
}

TEST(MapWindowFaults, TextFromUsersAndFilesIsShownAsText)
{
    MemoryStore store;
    PanelWindow w(store);
    struct Case {
        const char* name;
        const char* field;  // where it is typed
        const char* label;  // where it is shown
    };
    const Case cases[] = {
        {"station field", "otherField", "problem"},
        {"turn to", "rotatorHeading", "rotatorProblem"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* field = w.find<QLineEdit>(c.field);
        field->setText(QStringLiteral("<b>XX</b>"));
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        auto* label = w.find<QLabel>(c.label);
        // A word may be a callsign: the country file is asked first.
        QTRY_VERIFY_WITH_TIMEOUT(!label->text().startsWith(u"Looking up"), 10000);
        EXPECT_TRUE(label->text().contains(QStringLiteral("<b>XX</b>"), Qt::CaseInsensitive))
            << label->text().toStdString();
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
    }
    // No label of the window that shows a figure or a message reads markup.
    for (const QLabel* label : w.window.findChildren<QLabel*>()) {
        if (!label->objectName().isEmpty()) {
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
        }
    }
}

}  // namespace

namespace {

TEST(MapWindowFaults, TheMapAloneAsksForTheOwnStationWhenNoneIsSaved)
{
    struct Case {
        const char* name;
        std::map<QString, QString> saved;  // under [Latitude]
        bool asked;
    };
    const Case cases[] = {
        {"nothing saved", {}, true},
        {"a station saved", {{QStringLiteral("Degree"), QStringLiteral("51")}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryStore store;
        for (const auto& [key, value] : c.saved) {
            store.values[{QStringLiteral("Latitude"), key}] = value;
        }
        const auto map = skybrant::ui::openMapAlone(&store);
        map->show();
        auto* prompt = map->findChild<QDialog*>(QStringLiteral("ownStationPrompt"));
        ASSERT_EQ(prompt != nullptr, c.asked);
        if (!c.asked) {
            continue;
        }
        EXPECT_TRUE(prompt->isVisible());
        auto* field = prompt->findChild<QLineEdit*>(QStringLiteral("ownStationField"));
        auto* ok = prompt->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        field->setText(QStringLiteral("91 0"));
        QTest::mouseClick(ok, Qt::LeftButton);
        EXPECT_TRUE(prompt->isVisible()) << "a station that cannot be read is said, and asked again";
        EXPECT_FALSE(prompt->findChild<QLabel*>(QStringLiteral("ownStationProblem"))->isHidden());
        field->setText(QStringLiteral("51.5 -0.1167"));
        QTest::mouseClick(ok, Qt::LeftButton);
        EXPECT_NEAR(map->model().own().latDegrees, 51.5, 1e-9);
        // Kept as the calculator keeps it: its boxes' texts.
        const auto saved = [&store](const char* section, const char* key) {
            return store.values[{QLatin1String(section), QLatin1String(key)}];
        };
        EXPECT_EQ(saved("Latitude", "Degree"), QStringLiteral("51"));
        EXPECT_EQ(saved("Latitude", "Minute"), QStringLiteral("30"));
        EXPECT_EQ(saved("Latitude", "N/S"), QStringLiteral("N"));
        EXPECT_EQ(saved("Longitude", "Minute"), QStringLiteral("7"));
        EXPECT_EQ(saved("Longitude", "E/W"), QStringLiteral("W"));
    }
}

}  // namespace
