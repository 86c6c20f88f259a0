// Draws the main window as the README shows it: 09.03.2011, the first watch on duty on 01.01.2011.
//   readme_screenshot OUTPUT.png      (runs offscreen; needs no display)
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include "form1.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QFile opt(dir.filePath(QStringLiteral("Opt.txt")));
    if (!opt.open(QIODevice::WriteOnly) || opt.write("0\r\n") != 3) {
        return 1;
    }
    opt.close();
    auto* window = new sutograf::Form1(
        [] { return sutograf::LocalTime{sutograf::dateFromText("09.03.2011").value()}; }, dir.path());
    window->show();
    QApplication::processEvents();
    const bool saved = window->grab().save(QString::fromLocal8Bit(argv[1]));
    delete window;
    return saved ? 0 : 1;
}
