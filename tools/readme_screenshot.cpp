// Draws the windows as the README shows them, offscreen, with the first watch on duty on 01.01.2011:
//   readme_screenshot OUTPUT.png                      the main window on 09.03.2011
//   readme_screenshot --year YEAR WATCH OUTPUT.png    the year window for that year and watch, today
//                                                     07.12.2026; OUTPUT.pdf writes its printed page
//   readme_screenshot --rota YEAR OUTPUT.pdf          the year of all four watches on one sheet
//   readme_screenshot --person OUTPUT.png             the year window for one person of a small roster
//                                                     (2026, today 07.12.2026): leave with sick days in
//                                                     it, training, a duty given away and one taken;
//                                                     OUTPUT.pdf writes its printed page
//   readme_screenshot --timesheet OUTPUT.png          «Табель» of the first watch for July 2026, the
//                                                     same roster
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bazovy_karaul.h"
#include "form1.h"
#include "frm_timesheet.h"
#include "frm_year.h"
#include "roster_source.h"
#include "roster_store.h"
#include "rota.h"
#include "start_style.h"
#include "sutograf_ini.h"

namespace {

bool put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The first day of the month on which `watch` is on duty.
sutograf::Date dutyIn(int year, int month, int watch) {
    sutograf::Date d = *sutograf::dateOf(year, month, 1);
    while (sutograf::watchOn(d, 0) != watch) {
        ++d.serial;
    }
    return d;
}

// Six people of a unit in sutograf.db in dir; answers the id of the one whose year is shown, or 0.
sutograf::PersonId storeRoster(const QString& dir) {
    using namespace sutograf;
    const std::filesystem::path folder = dir.toStdString();
    RosterStore store(folder / RosterStore::kFileName, folder, 0);
    const Date joined = *dateOf(2020, 1, 1);
    const auto person = [&](const char* name, const char* number, int watch, int week) {
        PersonRecord p;
        p.person = {0, name, number, week};
        p.watches = {{joined, watch}};
        return store.addPerson(p).id;
    };
    const PersonId petrov = person("Петров Алексей Сергеевич", "1017", 1, 40);
    const PersonId sidorov = person("Сидоров Николай Петрович", "1023", 2, 40);
    const bool stored =
        petrov != 0 && sidorov != 0 && person("Кузнецова Мария Ивановна", "1031", 3, 36) != 0 &&
        person("Смирнов Олег Викторович", "1042", 4, 40) != 0 &&
        person("Волков Дмитрий Андреевич", "1019", 1, 40) != 0 &&
        person("Орлова Елена Викторовна", "1020", 1, 36) != 0 &&
        store.addAbsence(petrov, {*dateOf(2026, 7, 6), *dateOf(2026, 7, 26), Absence::AnnualLeave, {}}) &&
        store.addAbsence(petrov, {*dateOf(2026, 7, 13), *dateOf(2026, 7, 17), Absence::Sick, {}}) &&
        store.addAbsence(petrov, {*dateOf(2026, 10, 12), *dateOf(2026, 10, 16), Absence::Training, {}}) &&
        store.addSwap({dutyIn(2026, 3, 1), petrov, sidorov, {}}) &&
        store.addSwap({dutyIn(2026, 5, 2), sidorov, petrov, {}});
    return stored ? petrov : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const bool rota = argc == 4 && std::strcmp(argv[1], "--rota") == 0;
    const bool person = argc == 3 && std::strcmp(argv[1], "--person") == 0;
    const bool timesheet = argc == 3 && std::strcmp(argv[1], "--timesheet") == 0;
    const bool year = (argc == 5 && std::strcmp(argv[1], "--year") == 0) || rota || person;
    if (argc != 2 && !year && !timesheet) {
        std::fprintf(
            stderr,
            "usage: %s OUTPUT.png | --year YEAR WATCH OUTPUT.png|OUTPUT.pdf | --rota YEAR OUTPUT.pdf | "
            "--person OUTPUT.png|OUTPUT.pdf | --timesheet OUTPUT.png\n",
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
    if (timesheet) {
        if (storeRoster(dir.path()) == 0) {
            return 1;
        }
        sutograf::frmTimesheet window(sutograf::RosterSource::of(offset), [] {
            return sutograf::LocalTime{sutograf::dateFromText("07.12.2026").value()};
        });
        window.showMonth(1, 2026, 7);
        window.resize(1300, 330);
        window.show();
        QApplication::processEvents();
        return window.grab().save(output) ? 0 : 1;
    }
    if (year) {
        sutograf::UserChoices choices;
        choices.yearWatch = rota || person ? 1 : std::atoi(argv[3]);
        choices.yearPerson = person ? storeRoster(dir.path()) : 0;
        if ((person && choices.yearPerson == 0) ||
            !put(dir.filePath(sutograf::kIniFileName), sutograf::iniText(choices))) {
            return 1;
        }
        sutograf::frmYear window(
            person ? 2026 : std::atoi(argv[2]),
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
