// Helper for the crash test: saves the own station over and over, each round
// with its own number in all eight values, until it is killed.

#include "settings/settings_store.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const char* keys[][2] = {{"Latitude", "Degree"}, {"Latitude", "Minute"}, {"Latitude", "Second"},
        {"Latitude", "N/S"}, {"Longitude", "Degree"}, {"Longitude", "Minute"}, {"Longitude", "Second"},
        {"Longitude", "E/W"}};
    for (long round = 0;; ++round) {
        auto store = skybrant::settings::makeIniSettingsStore();
        // Long values, so that a write takes a while and can be cut short.
        const QString value = QString::number(round).repeated(20000);
        for (const auto& k : keys) {
            store->save(QStringLiteral("Skybrant"), QLatin1String(k[0]), QLatin1String(k[1]), value);
        }
        QString error;
        if (!store->commit(error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        if (round == 0) {
            std::puts("saving");
            std::fflush(stdout);
        }
    }
}
