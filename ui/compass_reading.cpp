#include "compass_reading.h"

#include "aim/station_text.h"
#include "core/magnetic.h"
#include "core/utf8.h"
#include "panel_widgets.h"
#include "rotator/rotator_limits.h"
#include "rotator/rotator_protocol.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cmath>

namespace skybrant::ui {

double offsetFromCompass(double azimuth, double magneticHeading, double declination)
{
    // The antenna's true heading; the rotator reads it plus the offset.
    const double trueHeading = magneticHeading + declination;
    double offset = std::fmod(azimuth - trueHeading, 360.0);
    if (offset > rotctl::kLargestOffset) {
        offset -= 360;
    } else if (offset < -rotctl::kLargestOffset) {
        offset += 360;
    }
    return offset;
}

CompassOffset compassOffset(
    const QString& reading, std::optional<double> azimuth, const Position& own, std::chrono::year_month_day date)
{
    const auto magnetic = aim::parseHeading(reading.toStdString());
    if (!magnetic) {
        return {std::nullopt,
            QString::fromStdString(quote(reading.toStdString(), rotctl::kShownBytes)) +
                QStringLiteral(" is not a compass heading: type degrees from 0 to 360")};
    }
    if (!azimuth) {
        return {std::nullopt,
            QStringLiteral("The rotator has not said where it points: connect to it and wait for its reading, "
                           "then read the compass again")};
    }
    const double declination = magneticFieldAt(own, date).declination;
    return {offsetFromCompass(*azimuth, *magnetic, declination), {}};
}

void askCompassReading(QWidget* parent, const Position& own, std::chrono::year_month_day date,
    const std::function<std::optional<double>()>& azimuth, const std::function<void(double)>& accepted)
{
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(QStringLiteral("compassDialog"));
    dialog->setWindowTitle(QStringLiteral("Mast offset from a compass"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(dialog);
    const MagneticField field = magneticFieldAt(own, date);
    auto* about = new QLabel(QStringLiteral("Turn the antenna with the rotator, read with a compass where it points, "
                                            "and type the compass heading. The declination at the own station "
                                            "today is %1.")
                                 .arg(QString::fromStdString(declinationText(field.declination))),
        dialog);
    about->setWordWrap(true);
    layout->addWidget(about);
    auto* form = new QFormLayout;
    auto* reading = new QLineEdit(dialog);
    reading->setObjectName(QStringLiteral("compassReading"));
    reading->setAccessibleName(QStringLiteral("Compass heading of the antenna, degrees magnetic"));
    reading->setPlaceholderText(QStringLiteral("degrees magnetic, such as 300"));
    form->addRow(QStringLiteral("The antenna points to:"), reading);
    layout->addLayout(form);
    auto* problem = problemLabel(dialog, "compassProblem");
    layout->addWidget(problem);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [=] {
        const CompassOffset worked = compassOffset(reading->text(), azimuth(), own, date);
        if (!worked.offset) {
            problem->setText(worked.problem);
            problem->show();
            reading->setFocus();
            return;
        }
        accepted(*worked.offset);
        dialog->accept();
    });
    dialog->open();
}

}  // namespace skybrant::ui
