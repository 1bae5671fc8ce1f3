#include "rotator_presets.h"

#include "panel_widgets.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <utility>

namespace skybrant::ui {

namespace {

// Two buttons side by side stay within a panel of ordinary width.
constexpr qsizetype kCaptionCharacters = 24;

QString shortened(const QString& text)
{
    if (text.size() <= kCaptionCharacters) {
        return text;
    }
    qsizetype end = kCaptionCharacters;
    // A surrogate pair stays whole.
    if (text.at(end - 1).isHighSurrogate()) {
        --end;
    }
    return text.left(end) + QStringLiteral("\u2026");
}

}  // namespace

QString presetCaption(std::size_t index, const settings::RotatorPreset& preset)
{
    const QString name = !preset.name.isEmpty() ? preset.name
        : !preset.target.isEmpty()              ? preset.target
                                                : QStringLiteral("(empty)");
    return QStringLiteral("%1 %2").arg(index + 1).arg(shortened(name));
}

void editRotatorPresets(QWidget* parent, const RotatorPresets& presets, const StationHeading& stationHeading,
    const std::function<void(const RotatorPresets&)>& accepted)
{
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(QStringLiteral("rotatorPresetsDialog"));
    dialog->setWindowTitle(QStringLiteral("Rotator presets"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(dialog);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Name"), dialog), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Heading or station"), dialog), 0, 2);
    std::array<std::pair<QLineEdit*, QLineEdit*>, settings::kRotatorPresets> fields{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        grid->addWidget(new QLabel(QString::number(i + 1), dialog), row, 0);
        auto* name = new QLineEdit(presets.at(i).name, dialog);
        name->setObjectName(QStringLiteral("presetName%1").arg(i + 1));
        name->setAccessibleName(QStringLiteral("Preset %1 name").arg(i + 1));
        auto* target = new QLineEdit(presets.at(i).target, dialog);
        target->setObjectName(QStringLiteral("presetTarget%1").arg(i + 1));
        target->setAccessibleName(QStringLiteral("Preset %1 heading or station").arg(i + 1));
        target->setPlaceholderText(QStringLiteral("45, JO01, 40.7 -74 or G4ABC"));
        grid->addWidget(name, row, 1);
        grid->addWidget(target, row, 2);
        fields.at(i) = {name, target};
    }
    layout->addLayout(grid);
    auto* problem = problemLabel(dialog, "presetProblem");
    layout->addWidget(problem);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [dialog, fields, problem, stationHeading, accepted] {
        RotatorPresets edited{};
        for (std::size_t i = 0; i < fields.size(); ++i) {
            edited.at(i) = {fields.at(i).first->text().trimmed(), fields.at(i).second->text().trimmed()};
            const QString& target = edited.at(i).target;
            std::string error;
            if (!target.isEmpty() && stationHeading && !stationHeading(target, error)) {
                problem->setText(QStringLiteral("Preset %1: %2").arg(i + 1).arg(QString::fromStdString(error)));
                problem->show();
                fields.at(i).second->setFocus();
                return;
            }
        }
        accepted(edited);
        dialog->accept();
    });
    dialog->open();
}

}  // namespace skybrant::ui
