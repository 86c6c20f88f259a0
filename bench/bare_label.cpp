// The yardstick for bench/startup.sh: a bare Qt Widgets program showing one label.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Сутограф"));
    label.show();
    return QApplication::exec();
}
