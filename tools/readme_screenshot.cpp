// Draws the windows as the README shows them, offscreen, with the first watch on duty on 01.01.2011:
//   readme_screenshot OUTPUT.png                      the main window on 09.03.2011
//   readme_screenshot --year YEAR WATCH OUTPUT.png    the year window for that year and watch, today
//                                                     07.12.2026; OUTPUT.pdf writes its printed page
//   readme_screenshot --rota YEAR OUTPUT.pdf          the year of all four watches on one sheet
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bazovy_karaul.h"
#include "form1.h"
#include "frm_year.h"
#include "start_style.h"
#include "sutograf_ini.h"

namespace {

bool put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char* argv[]) {
    const bool rota = argc == 4 && std::strcmp(argv[1], "--rota") == 0;
    const bool year = (argc == 5 && std::strcmp(argv[1], "--year") == 0) || rota;
    if (argc != 2 && !year) {
        std::fprintf(
            stderr,
            "usage: %s OUTPUT.png | --year YEAR WATCH OUTPUT.png|OUTPUT.pdf | --rota YEAR OUTPUT.pdf\n",
            argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(new sutograf::StartStyle); // as the program does
    QTemporaryDir dir;
    if (!put(dir.filePath(QStringLiteral("Opt.txt")), "0\r\n")) {
        return 1;
    }
    const QString output = QString::fromLocal8Bit(argv[argc - 1]);
    sutograf::RotaOffset offset{sutograf::SettingsPlace(dir.path())};
    if (year) {
        sutograf::UserChoices choices;
        choices.yearWatch = rota ? 1 : std::atoi(argv[3]);
        if (!put(dir.filePath(sutograf::kIniFileName), sutograf::iniText(choices))) {
            return 1;
        }
        sutograf::frmYear window(
            std::atoi(argv[2]),
            [] { return sutograf::LocalTime{sutograf::dateFromText("07.12.2026").value()}; }, offset);
        if (output.endsWith(QLatin1String(".pdf"))) {
            return (rota ? window.writeRotaPdf(output) : window.writePdf(output)) ? 0 : 1;
        }
        window.show();
        QApplication::processEvents();
        return window.grab().save(output) ? 0 : 1;
    }
    auto* window = new sutograf::Form1(
        offset, [] { return sutograf::LocalTime{sutograf::dateFromText("09.03.2011").value()}; });
    window->show();
    QApplication::processEvents();
    const bool saved = window->grab().save(output);
    delete window;
    return saved ? 0 : 1;
}
