#include <QApplication>

#include "form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // A fixed name: the settings folder is ~/.config/sutograf whatever the program file is called.
    QApplication::setApplicationName(QStringLiteral("sutograf"));
    auto* window = new sutograf::Form1(); // deletes itself when closed
    window->show();
    return QApplication::exec();
}
