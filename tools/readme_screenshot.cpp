// Draws the windows as the README shows them, offscreen, with the first watch on duty on 01.01.2011:
//   readme_screenshot OUTPUT.png                      the main window on 09.03.2011
//   readme_screenshot --year YEAR WATCH OUTPUT.png    the year window for that year and watch, today
//                                                     07.12.2026; OUTPUT.pdf writes its printed page
//   readme_screenshot --rota YEAR OUTPUT.pdf          the year of all four watches on one sheet
//   readme_screenshot --person OUTPUT.png             the year window for one person of a small roster
//                                                     (2026, today 07.12.2026): leave with sick days in
//                                                     it, training, a duty given away and one taken;
//                                                     OUTPUT.pdf writes its printed page
//   readme_screenshot --timesheet MONTH WATCH OUTPUT.png|OUTPUT.pdf
//                                                     «Табель» of 2025 on the station of
//                                                     bench/station.h, its people given names, today
//                                                     12.03.2025; OUTPUT.pdf writes its pages
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
#include "rota.h"
#include "start_style.h"
#include "station_store.h"
#include "sutograf_ini.h"

namespace {

bool put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Sixty names for the station's people, one a person, the same on every run.
std::string nameOf(int i) {
    static const char* const surnames[] = {"Алексеев", "Белов",   "Васильев", "Григорьев", "Дмитриев",
                                           "Егоров",   "Жуков",   "Зайцев",   "Ильин",     "Козлов",
                                           "Лебедев",  "Морозов", "Новиков",  "Орлов",     "Павлов",
                                           "Романов",  "Смирнов", "Тарасов",  "Устинов",   "Фёдоров"};
    static const char* const initials[] = {"А. В.", "И. С.", "Д. Н."};
    return std::string(surnames[i % 20]) + " " + initials[i / 20 % 3];
}

int timesheet(int month, int watch, const QString& output) {
    QTemporaryDir dir;
    sutograf::UserChoices choices;
    choices.unitName = QStringLiteral("ПСЧ № 12 ФГКУ «3 отряд ФПС по Тестовой области»");
    if (!put(dir.filePath(QStringLiteral("Opt.txt")), "0\r\n") ||
        !put(dir.filePath(sutograf::kIniFileName), sutograf::iniText(choices))) {
        return 1;
    }
    sutograf::bench::Station station = sutograf::bench::makeStation(2025);
    for (std::size_t i = 0; i < station.people.size(); ++i) {
        station.people[i].person.name = nameOf(static_cast<int>(i));
    }
    {
        const std::filesystem::path folder = dir.path().toStdString();
        sutograf::RosterStore store(folder / sutograf::RosterStore::kFileName, folder, station.offset);
        if (!sutograf::bench::storeStation(store, station)) {
            return 1;
        }
    }
    sutograf::RotaOffset offset{sutograf::SettingsPlace(dir.path())};
    sutograf::RosterSource roster(offset);
    sutograf::frmTimesheet window(roster, [] { return sutograf::LocalTime{*sutograf::dateOf(2025, 3, 12)}; });
    window.showMonth(watch, 2025, month);
    if (output.endsWith(QLatin1String(".pdf"))) {
        return window.writePdf(output) ? 0 : 1;
    }
    window.show();
    QApplication::processEvents();
    return window.grab().save(output) ? 0 : 1;
}

// The first day of the month on which `watch` is on duty.
sutograf::Date dutyIn(int year, int month, int watch) {
    sutograf::Date d = *sutograf::dateOf(year, month, 1);
    while (sutograf::watchOn(d, 0) != watch) {
        ++d.serial;
    }
    return d;
}

// Four people of a unit in sutograf.db in dir; answers the id of the one whose year is shown, or 0.
sutograf::PersonId storeRoster(const QString& dir) {
    using namespace sutograf;
    const std::filesystem::path folder = dir.toStdString();
    RosterStore store(folder / RosterStore::kFileName, folder, 0);
    const auto person = [&](const char* name, const char* number, int watch, int week) {
        PersonRecord p;
        p.person = {0, name, number, week};
        p.watches = {{*dateOf(2020, 1, 1), watch}};
        return store.addPerson(p).id;
    };
    const PersonId petrov = person("Петров Алексей Сергеевич", "1017", 1, 40);
    const PersonId sidorov = person("Сидоров Николай Петрович", "1023", 2, 40);
    const bool stored =
        petrov != 0 && sidorov != 0 && person("Кузнецова Мария Ивановна", "1031", 3, 36) != 0 &&
        person("Смирнов Олег Викторович", "1042", 4, 40) != 0 &&
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
    const bool year = (argc == 5 && std::strcmp(argv[1], "--year") == 0) || rota || person;
    const bool sheet = argc == 5 && std::strcmp(argv[1], "--timesheet") == 0;
    if (argc != 2 && !year && !sheet) {
        std::fprintf(stderr,
                     "usage: %s OUTPUT.png | --year YEAR WATCH OUTPUT.png|OUTPUT.pdf | --rota YEAR OUTPUT.pdf"
                     " | --timesheet MONTH WATCH OUTPUT.png|OUTPUT.pdf | --person OUTPUT.png|OUTPUT.pdf\n",
                     argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) { // one of a screen size may be given
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setStyle(new sutograf::StartStyle); // as the program does
    if (sheet) {
        return timesheet(std::atoi(argv[2]), std::atoi(argv[3]), QString::fromLocal8Bit(argv[4]));
    }
    QTemporaryDir dir;
    if (!put(dir.filePath(QStringLiteral("Opt.txt")), "0\r\n")) {
        return 1;
    }
    const QString output = QString::fromLocal8Bit(argv[argc - 1]);
    sutograf::RotaOffset offset{sutograf::SettingsPlace(dir.path())};
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
