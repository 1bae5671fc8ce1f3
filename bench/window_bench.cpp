// The window with a megabyte of text: pasted into a box, and restored from
// the saved station at start-up.

#include "settings/settings_store.h"
#include "ui/form1.h"
#include "ui/message_sink.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

class SilentSink final : public skybrant::ui::MessageSink {
public:
    void showMessage(const QString& /*text*/) override { }
};

QString megabyteText(qsizetype size)
{
    return QStringLiteral("5") + QString(size - 1, u'x');
}

// The change handling of one box (read, store, check) plus the box's own
// work of taking the text.
void BM_ChangeOfAHugeBox(benchmark::State& state)
{
    SilentSink sink;
    skybrant::ui::Form1 form(&sink);
    auto* box = form.findChild<QLineEdit*>(QStringLiteral("txtLAS1"));
    const QString text = megabyteText(state.range(0));
    for (auto _ : state) {
        box->setText(text);
        state.PauseTiming();
        box->setText(QString());
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ChangeOfAHugeBox)
    ->RangeMultiplier(4)
    ->Range(1 << 16, 1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Start-up with a megabyte saved as the latitude degrees.
void BM_RestoreAHugeSavedValue(benchmark::State& state)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QDir().mkpath(home.path() + QStringLiteral("/Skybrant"));
    QFile file(home.path() + QStringLiteral("/Skybrant/Skybrant.ini"));
    file.open(QIODevice::WriteOnly);
    file.write("[Latitude]\nDegree=" + megabyteText(state.range(0)).toUtf8() + "\n");
    file.close();
    SilentSink sink;
    for (auto _ : state) {
        const auto store = skybrant::settings::makeIniSettingsStore();
        skybrant::ui::Form1 form(&sink, store.get());
        form.Form_Load();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RestoreAHugeSavedValue)
    ->RangeMultiplier(4)
    ->Range(1 << 16, 1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
