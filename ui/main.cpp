#include <QApplication>

#include "form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    auto* window = new sutograf::Form1(); // deletes itself when closed
    window->show();
    return QApplication::exec();
}
