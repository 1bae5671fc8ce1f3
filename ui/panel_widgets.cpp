#include "panel_widgets.h"

#include <QLabel>
#include <QPushButton>

namespace skybrant::ui {

QPushButton* panelButton(QWidget* parent, const char* name, const QString& text, const QString& accessible)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(accessible);
    b->setAutoDefault(false);
    return b;
}

QLabel* problemLabel(QWidget* parent, const char* name)
{
    auto* problem = new QLabel(parent);
    problem->setObjectName(QLatin1String(name));
    problem->setStyleSheet(QStringLiteral("color: #c00000"));
    problem->setTextFormat(Qt::PlainText);
    problem->setWordWrap(true);
    problem->hide();
    return problem;
}

}  // namespace skybrant::ui
