// Yardsticks for the start-up benchmark, timed the same way as the
// calculator: a Qt Widgets program with one empty window, or, with
// --label, the same window showing one line of text (which loads the
// font system, as any window with text must).

#include "ui/startup_probe.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(504, 467);
    if (argc > 1 && std::strcmp(argv[1], "--label") == 0) {
        auto* label = new QLabel(QStringLiteral("Skybrant"), &window);
        label->move(10, 10);
    }
    skybrant::ui::installStartupProbe(&window);
    window.show();
    return QApplication::exec();
}
