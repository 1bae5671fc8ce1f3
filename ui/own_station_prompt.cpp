#include "own_station_prompt.h"

#include "aim/station_text.h"
#include "map_window.h"
#include "panel_widgets.h"
#include "settings/own_station_store.h"
#include "station_lookup.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace skybrant::ui {

namespace {

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

// Reads the text typed; a callsign waits for the country file and is read
// again once it is there.
void take(MapWindow& map, settings::SettingsStore& store, QDialog* dialog, QLineEdit* field, QLabel* problem)
{
    const auto say = [problem](const QString& text) {
        problem->setText(text);
        problem->setVisible(!text.isEmpty());
    };
    CallsignLookup& callsigns = map.callsigns();
    const aim::StationText read =
        aim::readStationText(field->text().toStdString(), callsigns.files(), aim::Source::Typed);
    if (!read.station) {
        if (read.call.empty() || !read.callShaped) {
            say(fromStd(read.error));
            return;
        }
        say(QStringLiteral("Looking up %1 in the country file\u2026").arg(fromStd(read.call).toUpper()));
        // The dialog may be gone when the file has been read.
        const QPointer<QDialog> open(dialog);
        callsigns.ask(fromStd(read.call), [&map, &store, open, field, problem, say](const CallsignPlace& place) {
            if (open.isNull()) {
                return;
            }
            if (map.callsigns().files() == nullptr) {
                say(place.error);
                return;
            }
            take(map, store, open.data(), field, problem);
        });
        return;
    }
    map.setOwn(read.station->position);
    QString error;
    if (!settings::saveOwnStation(store, read.station->position, error) && !error.isEmpty()) {
        map.tell(error);
    }
    dialog->accept();
}

}  // namespace

void askOwnStation(MapWindow& map, settings::SettingsStore& store)
{
    auto* dialog = new QDialog(&map);
    dialog->setObjectName(QStringLiteral("ownStationPrompt"));
    dialog->setWindowTitle(QStringLiteral("Skybrant"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(dialog);
    auto* text = new QLabel(QStringLiteral("No own station is saved yet, so the map is centred on 0\u00b0 N 0\u00b0 E. "
                                           "Where is your station? A locator such as JO01mm, LAT LON in decimal "
                                           "degrees, the eight fields or a callsign. It is kept where the "
                                           "calculator keeps it."),
        dialog);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* field = new QLineEdit(dialog);
    field->setObjectName(QStringLiteral("ownStationField"));
    field->setAccessibleName(QStringLiteral("Own station"));
    layout->addWidget(field);
    auto* problem = problemLabel(dialog, "ownStationProblem");
    layout->addWidget(problem);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, [&map, dialog] {
        map.callsigns().cancel();
        dialog->reject();
    });
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog,
        [&map, &store, dialog, field, problem] { take(map, store, dialog, field, problem); });
    dialog->open();
}

}  // namespace skybrant::ui
