#include <gtest/gtest.h>

#include <functional>

#include "records/test_files.h"
#include "roster_store.h"
#include "rota.h"

using namespace sutograf;

namespace {

Date day(int y, int m, int d) { return *dateOf(y, m, d); }

// The first day on or after `from` on which watch w is on duty (offset 0).
Date dutyOf(int w, Date from) {
    while (watchOn(from, 0) != w) {
        ++from.serial;
    }
    return from;
}

// Иванов: 1st watch, leave 01.07-28.07.2025, gives his duty `d1` in March to Петров (2nd watch).
// Сидорова: 3rd watch, leaves the unit on 01.10.2025.
struct Station {
    PersonId ivanov = 0, petrov = 0, sidorova = 0;
    Date d1 = dutyOf(1, day(2025, 3, 1));
};

struct RefusedEdit {
    const char* name;
    std::function<Saved(RosterStore&, const Station&)> edit;
    std::vector<std::string> says;
};
void PrintTo(const RefusedEdit& e, std::ostream* os) { *os << e.name; }

PersonRecord person(const char* name, int hours = 40) {
    return {{0, name, "", hours}, {{day(2025, 1, 1), 1}}, {}};
}
AbsenceSpan absence(Date first, Date last, Absence kind) { return {first, last, kind, "", 0}; }

class StoreRefuses : public ::testing::TestWithParam<RefusedEdit> {
protected:
    void SetUp() override {
        s.ivanov = store
                       .addPerson({{0, "Иванов Иван Иванович", "101", 40},
                                   {{day(2025, 1, 1), 1}},
                                   {absence(day(2025, 7, 1), day(2025, 7, 28), Absence::AnnualLeave)}})
                       .id;
        s.petrov = store.addPerson({{0, "Петров Пётр", "102", 40}, {{day(2025, 1, 1), 2}}, {}}).id;
        s.sidorova =
            store
                .addPerson(
                    {{0, "Сидорова Анна", "103", 36}, {{day(2025, 1, 1), 3}, {day(2025, 10, 1), 0}}, {}})
                .id;
        ASSERT_TRUE(store.addSwap({s.d1, s.ivanov, s.petrov, "", 0})) << store.problem();
    }
    TempFolder folder;
    RosterStore store{folder / "sutograf.db", folder.path(), 0};
    Station s;
};

TEST_P(StoreRefuses, WithAReasonAndChangesNothing) {
    const RefusedEdit& e = GetParam();
    const Roster before = store.roster();
    const auto bytes = bytesOf(folder / "sutograf.db");
    const Saved r = e.edit(store, s);
    EXPECT_FALSE(r);
    for (const std::string& part : e.says) {
        EXPECT_NE(r.error.find(part), std::string::npos) << "«" << part << "» not in: " << r.error;
    }
    EXPECT_EQ(store.roster(), before);
    EXPECT_EQ(bytesOf(folder / "sutograf.db"), bytes);
}

const Date kJuly10 = day(2025, 7, 10);

INSTANTIATE_TEST_SUITE_P(Rules, StoreRefuses,
                         ::testing::Values(RefusedEdit{"PersonWithoutName",
                                                       [](RosterStore& st, const Station&) {
                                                           return st.addPerson(person("  "));
                                                       },
                                                       {"Не указаны"}},
                                           RefusedEdit{"WeekOf38Hours",
                                                       [](RosterStore& st, const Station&) {
                                                           return st.addPerson(person("Орлов", 38));
                                                       },
                                                       {"Орлов", "38", "40 или 36"}},
                                           RefusedEdit{"RenamedToNothing",
                                                       [](RosterStore& st, const Station& s) {
                                                           return st.updatePerson({s.petrov, "", "102", 40});
                                                       },
                                                       {"Не указаны"}},
                                           RefusedEdit{"AbsenceBeforeYear100",
                                                       [](RosterStore& st, const Station& s) {
                                                           return st.addAbsence(
                                                               s.ivanov, absence(Date{kFirstDate.serial - 1},
                                                                                 kFirstDate, Absence::Sick));
                                                       },
                                                       {"Иванов", "100-9999"}},
                                           RefusedEdit{"WatchChangeAfter9999",
                                                       [](RosterStore& st, const Station& s) {
                                                           return st.setWatch(s.ivanov,
                                                                              Date{kLastDate.serial + 1}, 2);
                                                       },
                                                       {"Иванов", "100-9999"}},
                                           RefusedEdit{"GiverNotOnDuty",
                                                       [](RosterStore& st, const Station& s) {
                                                           return st.addSwap({dutyOf(2, day(2025, 4, 1)),
                                                                              s.ivanov, std::nullopt,
                                                                              "Кузнецов", 0});
                                                       },
                                                       {"Иванов", shortDateText(dutyOf(2, day(2025, 4, 1))),
                                                        "дежурит 2 караул, а не 1"}},
                                           RefusedEdit{"GiverOnLeave",
                                                       [](RosterStore& st, const Station& s) {
                                                           return st.addSwap({dutyOf(1, kJuly10), s.ivanov,
                                                                              s.petrov, "", 0});
                                                       },
                                                       {"Иванов", shortDateText(dutyOf(1, kJuly10)),
                                                        "отсутствует", "ОТ"}},
                                           RefusedEdit{"TakerOnOwnDuty",
                                                       [](RosterStore& st, const Station& s) {
                                                           return st.addSwap({dutyOf(2, day(2025, 4, 1)),
                                                                              std::nullopt, s.petrov,
                                                                              "Кузнецов", 0});
                                                       },
                                                       {"Петров", shortDateText(dutyOf(2, day(2025, 4, 1))),
                                                        "свой 2 караул"}},
                                           RefusedEdit{
                                               "TakerOnLeave",
                                               [](RosterStore& st, const Station& s) {
                                                   return st.addSwap(
                                                       {dutyOf(2, kJuly10), s.petrov, s.ivanov, "", 0});
                                               },
                                               {"Иванов", shortDateText(dutyOf(2, kJuly10)), "отсутствует"}},
                                           RefusedEdit{"TakerWhoHasLeftTheUnit",
                                                       [](RosterStore& st, const Station& s) {
                                                           return st.addSwap({dutyOf(1, day(2025, 11, 1)),
                                                                              s.ivanov, s.sidorova, "", 0});
                                                       },
                                                       {"Сидорова",
                                                        shortDateText(dutyOf(1, day(2025, 11, 1))),
                                                        "не состоит"}},
                                           RefusedEdit{"SameDutyGivenTwice",
                                                       [](RosterStore& st, const Station& s) {
                                                           return st.addSwap(
                                                               {s.d1, s.ivanov, std::nullopt, "Кузнецов", 0});
                                                       },
                                                       {"Иванов", shortDateText(Station{}.d1), "уже отдана"}},
                                           RefusedEdit{
                                               "SecondDutyTakenTheSameDay",
                                               [](RosterStore& st, const Station& s) {
                                                   return st.addSwap(
                                                       {s.d1, std::nullopt, s.petrov, "Кузнецов", 0});
                                               },
                                               {"Петров", shortDateText(Station{}.d1), "уже берёт"}},
                                           RefusedEdit{
                                               "SwapWithNobodyOnTheRoster",
                                               [](RosterStore& st, const Station& s) {
                                                   return st.addSwap(
                                                       {s.d1, std::nullopt, std::nullopt, "Кузнецов", 0});
                                               },
                                               {"хотя бы одна сторона"}},
                                           RefusedEdit{"TrainingOverlappingLeave",
                                                       [](RosterStore& st, const Station& s) {
                                                           return st.addAbsence(s.ivanov,
                                                                                absence(day(2025, 7, 20),
                                                                                        day(2025, 8, 2),
                                                                                        Absence::Training));
                                                       },
                                                       {"Иванов", "ПК с 20.07.2025 по 02.08.2025",
                                                        "ОТ с 01.07.2025 по 28.07.2025"}},
                                           RefusedEdit{"UnpaidLeaveOverLeave",
                                                       [](RosterStore& st, const Station& s) {
                                                           return st.addAbsence(
                                                               s.ivanov,
                                                               absence(day(2025, 7, 25), day(2025, 8, 5),
                                                                       Absence::UnpaidLeave));
                                                       },
                                                       {"Иванов", "ДО с 25.07.2025 по 05.08.2025",
                                                        "пересекается"}},
                                           RefusedEdit{
                                               "AbsenceOverADutyTaken",
                                               [](RosterStore& st, const Station& s) {
                                                   return st.addAbsence(
                                                       s.petrov, absence(s.d1, s.d1, Absence::BusinessTrip));
                                               },
                                               {"Петров", shortDateText(Station{}.d1), "сначала удалите"}},
                                           RefusedEdit{"AbsenceAfterLeavingTheUnit",
                                                       [](RosterStore& st, const Station& s) {
                                                           return st.addAbsence(s.sidorova,
                                                                                absence(day(2025, 9, 28),
                                                                                        day(2025, 10, 3),
                                                                                        Absence::Sick));
                                                       },
                                                       {"Сидорова", "01.10.2025", "не состоит"}},
                                           RefusedEdit{
                                               "LeavingDateStrandsLeave",
                                               [](RosterStore& st, const Station& s) {
                                                   return st.markLeft(s.ivanov, day(2025, 7, 15));
                                               },
                                               {"Иванов", "15.07.2025", "ОТ с 01.07.2025 по 28.07.2025"}},
                                           RefusedEdit{
                                               "WatchChangeLeavesAGivenDutyNotTheirs",
                                               [](RosterStore& st, const Station& s) {
                                                   return st.setWatch(s.ivanov, day(2025, 2, 1), 3);
                                               },
                                               {"Иванов", shortDateText(Station{}.d1), "стал бы неверным"}},
                                           RefusedEdit{"JoiningDateRemovedUnderATakenDuty",
                                                       [](RosterStore& st, const Station& s) {
                                                           return st.removeSpell(s.petrov, day(2025, 1, 1));
                                                       },
                                                       {"Петров", shortDateText(Station{}.d1), "не состоит"}},
                                           RefusedEdit{"AbsenceOfSomeoneNotOnTheRoster",
                                                       [](RosterStore& st, const Station&) {
                                                           return st.addAbsence(
                                                               999, absence(kJuly10, kJuly10, Absence::Sick));
                                                       },
                                                       {"нет в составе"}}),
                         [](const auto& info) { return std::string(info.param.name); });

// The exception to the overlap rule, and what removing someone does to a comrade's swap.
TEST(StoreAccepts, SickInsideLeaveAndKeepsAComradesSwapWhenSomeoneIsRemoved) {
    TempFolder folder;
    RosterStore store(folder / "sutograf.db", folder.path(), 0);
    const Date d1 = dutyOf(1, day(2025, 3, 1)), d2 = dutyOf(1, day(2025, 4, 1));
    const PersonId ivanov =
        store
            .addPerson({{0, "Иванов", "", 40},
                        {{day(2025, 1, 1), 1}},
                        {absence(day(2025, 7, 1), day(2025, 7, 28), Absence::AnnualLeave)}})
            .id;
    const PersonId petrov = store.addPerson({{0, "Петров", "", 40}, {{day(2025, 1, 1), 2}}, {}}).id;
    EXPECT_TRUE(store.addAbsence(ivanov, absence(day(2025, 7, 20), day(2025, 7, 31), Absence::Sick)));
    EXPECT_TRUE(store.addSwap({d1, ivanov, petrov, "", 0}));
    EXPECT_TRUE(store.addSwap({d2, ivanov, std::nullopt, "Кузнецов", 0}));
    ASSERT_TRUE(store.removePerson(ivanov));
    RosterStore reread(folder / "sutograf.db", folder.path(), 0);
    ASSERT_EQ(reread.roster().swaps.size(), 1u);
    const DutySwap& kept = reread.roster().swaps[0];
    EXPECT_EQ(kept.day, d1);
    EXPECT_EQ(kept.gives, std::nullopt);
    EXPECT_EQ(kept.takes, petrov);
    EXPECT_EQ(kept.outsider, "Иванов");
    EXPECT_EQ(reread.roster(), store.roster());
}

} // namespace
