// Callsigns in the map window: the country file is read off the window's
// thread, a named pipe in its place never holds the window up, and of the
// callsigns asked for while the file is read only the latest is shown.

#include "core/country_files.h"
#include "named_pipe.h"
#include "ui/map_window.h"
#include "ui/station_lookup.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace skybrant::ui {
namespace {

using namespace std::chrono_literals;

constexpr char kCountryFile[] = "England:       14: 27: EU: 51.50:  0.00: 0.0: G:\n    G,M;\n"
                                "United States: 05: 08: NA: 37.60: 91.87: 5.0: K:\n    K,W;\n";

// Holds every read of the country file until let go (or, should a lookup
// wrongly wait for its read, until a few seconds have passed, so that the
// test fails rather than hangs).
class HeldFile {
public:
    CallsignLookup::Reader reader(bool readable)
    {
        return [gate = gate_, readable](const std::string& /*path*/, std::string& error) {
            std::unique_lock lock(gate->mutex);
            ++gate->reads;
            gate->wake.wait_for(lock, 5s, [&gate] { return gate->open; });
            auto files = std::make_shared<CountryFiles>();
            if (!readable || !files->read(kCountryFile, "cty.dat", error)) {
                error = "cannot open the country file: Permission denied";
                return std::shared_ptr<const CountryFiles>();
            }
            return std::shared_ptr<const CountryFiles>(files);
        };
    }
    void letGo()
    {
        const std::lock_guard lock(gate_->mutex);
        gate_->open = true;
        gate_->wake.notify_all();
    }
    int reads() const
    {
        const std::lock_guard lock(gate_->mutex);
        return gate_->reads;
    }
    ~HeldFile() { letGo(); }
    HeldFile() = default;
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    HeldFile(HeldFile&&) = delete;
    HeldFile& operator=(HeldFile&&) = delete;

private:
    struct Gate {
        std::mutex mutex;
        std::condition_variable wake;
        bool open = false;
        int reads = 0;
    };
    std::shared_ptr<Gate> gate_ = std::make_shared<Gate>();
};

// $XDG_DATA_HOME, where the operator's own country file is, set for as long
// as the object lives.
class DataHome {
public:
    explicit DataHome(const std::filesystem::path& path)
        : had_(qEnvironmentVariableIsSet("XDG_DATA_HOME")), old_(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(path.string()));
    }
    ~DataHome() { had_ ? qputenv("XDG_DATA_HOME", old_) : qunsetenv("XDG_DATA_HOME"); }
    DataHome(const DataHome&) = delete;
    DataHome& operator=(const DataHome&) = delete;
    DataHome(DataHome&&) = delete;
    DataHome& operator=(DataHome&&) = delete;

private:
    bool had_;
    QByteArray old_;
};

QString placeText(const CallsignPlace& place)
{
    return place.error.isEmpty() ? place.name : place.error;
}

TEST(CallsignLookup, AsksWhileTheFileIsRead)
{
    struct Case {
        const char* name;
        std::vector<const char*> asked;  // in turn, while the file is read
        bool cancelled;  // cancel() after them
        bool readable;
        std::vector<QString> given;  // what the asks were told
    };
    const QString refused = QStringLiteral("cannot open the country file: Permission denied");
    const Case cases[] = {
        {"one callsign", {"w1aw"}, false, true, {QStringLiteral("W1AW, United States")}},
        {"a later callsign takes the earlier one's place", {"G4ABC", "W1AW"}, false, true,
            {QStringLiteral("W1AW, United States")}},
        {"cancelled", {"G4ABC"}, true, true, {}},
        {"not a call of the file", {"VK2ABC"}, false, true,
            {QStringLiteral("no country of the country file has a prefix of")}},
        {"an unreadable file", {"G4ABC", "W1AW"}, false, false, {refused}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HeldFile file;
        CallsignLookup lookup(nullptr, file.reader(c.readable));
        std::vector<QString> given;
        const auto start = std::chrono::steady_clock::now();
        for (const char* call : c.asked) {
            lookup.ask(
                QLatin1String(call), [&given](const CallsignPlace& place) { given.push_back(placeText(place)); });
        }
        if (c.cancelled) {
            lookup.cancel();
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "waited for the file";
        EXPECT_TRUE(lookup.reading());
        EXPECT_TRUE(given.empty());
        QTest::qWait(50);
        file.letGo();
        EXPECT_TRUE(QTest::qWaitFor([&lookup] { return !lookup.reading(); }, 5000));
        ASSERT_EQ(given.size(), c.given.size());
        for (std::size_t i = 0; i < given.size(); ++i) {
            EXPECT_EQ(given[i].left(c.given[i].size()), c.given[i]) << given[i].toStdString();
        }
        EXPECT_EQ(file.reads(), 1);
        // A file read is kept; one that could not be is read again.
        const std::optional<CallsignPlace> next = lookup.placeNow(QStringLiteral("G4ABC"));
        EXPECT_EQ(next.has_value(), c.readable);
        EXPECT_EQ(next ? placeText(*next) : QString(), c.readable ? QStringLiteral("G4ABC, England") : QString());
        EXPECT_TRUE(QTest::qWaitFor([&lookup] { return !lookup.reading(); }, 5000));
        EXPECT_EQ(file.reads(), c.readable ? 1 : 2);
    }
}

// The window closed while the file is read: the read ends later and tells
// no one.
TEST(CallsignLookup, GoneBeforeTheReadEnds)
{
    HeldFile file;
    bool told = false;
    {
        CallsignLookup lookup(nullptr, file.reader(true));
        lookup.ask(QStringLiteral("W1AW"), [&told](const CallsignPlace& /*place*/) { told = true; });
        EXPECT_TRUE(QTest::qWaitFor([&file] { return file.reads() == 1; }, 5000));
    }
    file.letGo();
    QTest::qWait(200);
    EXPECT_FALSE(told);
}

// A named pipe as the operator's own country file: typing a callsign
// returns at once and names what stands there.
TEST(CallsignLookup, MapWindowWithANamedPipeForTheFile)
{
    const testing::PrivateFolder folder;
    ASSERT_TRUE(folder.makePipe("Skybrant/cty.dat"));
    const std::filesystem::path pipe = folder.path() / "Skybrant" / "cty.dat";
    // A window that waits on the pipe goes on after a while, and fails here.
    const testing::PipeRescue rescue(pipe, 3s);
    const DataHome home(folder.path());

    MapWindow map(nullptr);
    map.show();
    auto* field = map.findChild<QLineEdit*>(QStringLiteral("otherField"));
    auto* problem = map.findChild<QLabel*>(QStringLiteral("problem"));
    auto* other = map.findChild<QLabel*>(QStringLiteral("otherStation"));
    ASSERT_NE(field, nullptr);
    ASSERT_NE(problem, nullptr);
    ASSERT_NE(other, nullptr);
    const QString refused =
        QStringLiteral("the country file \"%1\" is a named pipe, not a regular file").arg(QString::fromStdString(pipe));
    for (const char* call : {"G4ABC", "w1aw"}) {
        SCOPED_TRACE(call);
        field->setText(QLatin1String(call));
        const auto start = std::chrono::steady_clock::now();
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << "the window waited for the file";
        EXPECT_TRUE(QTest::qWaitFor([&] { return problem->text() == refused; }, 5000)) << problem->text().toStdString();
        EXPECT_EQ(other->text(), QStringLiteral("\u2014"));
    }
}

}  // namespace
}  // namespace skybrant::ui
