#include <QApplication>
#include <QDateTime>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "bazovy_karaul.h"
#include "form1.h"
#include "leftover_saves.h"
#include "start_style.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setStyle(new sutograf::StartStyle);
    // A fixed name, whatever the program file is called (Сутограф.exe on Windows). The settings folder
    // does not follow it either: ~/.config/sutograf, or %APPDATA%\sutograf on Windows.
    QApplication::setApplicationName(QStringLiteral("sutograf"));
    // The program speaks Russian whatever the desktop's language; Qt's own dialogs (files, printing,
    // the buttons of a message) are made to speak it too.
    QTranslator qtRussian;
    if (qtRussian.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtRussian);
    }
    const auto place = sutograf::SettingsPlace::forProgram(QApplication::applicationDirPath());
    sutograf::removeLeftoverSaves(place, QDateTime::currentDateTimeUtc());
    // Every window counts with this one offset; it lives until the last window has closed.
    sutograf::RotaOffset offset(place);
    auto* window = new sutograf::Form1(offset); // deletes itself when closed
    window->show();
    return QApplication::exec();
}
