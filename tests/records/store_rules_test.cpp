#include <gtest/gtest.h>

#include <functional>

#include "records/test_files.h"
#include "roster_store.h"

using namespace sutograf;

namespace {

Date day(int y, int m, int d) { return *dateOf(y, m, d); }

// Иванов: 1st watch, leave 01.07-28.07.2025, gives his duty d1 in March to Петров (2nd watch).
// Сидорова: 3rd watch, leaves the unit on 01.10.2025.
struct Station {
    PersonId ivanov = 0, petrov = 0, sidorova = 0, nobody = 999;
};
using Who = PersonId Station::*;
using Edit = std::function<Saved(RosterStore&, const Station&)>;
const Date d1 = dutyOf(1, day(2025, 3, 1)), jul10 = day(2025, 7, 10), apr1 = day(2025, 4, 1);

Edit newPerson(const char* name, int hours) {
    return [=](RosterStore& st, const Station&) {
        return st.addPerson({{0, name, "", hours}, {{day(2025, 1, 1), 1}}, {}});
    };
}
Edit absence(Who who, Date first, Date last, Absence kind) {
    return [=](RosterStore& st, const Station& s) {
        return st.addAbsence(s.*who, {first, last, kind, "", 0});
    };
}
// A null side is someone from outside.
Edit swap(Date d, Who gives, Who takes) {
    return [=](RosterStore& st, const Station& s) {
        const auto side = [&s](Who w) { return w ? std::optional(s.*w) : std::nullopt; };
        return st.addSwap({d, side(gives), side(takes), "Кузнецов", 0});
    };
}
// watch 0: leaves the unit; -1: the spell of that day removed.
Edit watchFrom(Who who, Date from, int watch) {
    return [=](RosterStore& st, const Station& s) {
        return watch < 0    ? st.removeSpell(s.*who, from)
               : watch == 0 ? st.markLeft(s.*who, from)
                            : st.setWatch(s.*who, from, watch);
    };
}

// One edit of several marks: Иванов's leave taken off, then the absences and swaps given put on.
Edit marks(std::vector<std::pair<Who, AbsenceSpan>> absences, std::vector<DutySwap> swaps,
           bool leaveOff = true) {
    return [=](RosterStore& st, const Station& s) {
        MarkChange change;
        if (leaveOff) {
            change.removeAbsences.push_back(st.roster().find(s.ivanov)->absences.front().id);
        }
        for (const auto& [who, span] : absences) {
            change.addAbsences.push_back({s.*who, span});
        }
        for (DutySwap w : swaps) {
            w.gives = w.gives ? s.ivanov : w.gives;
            w.takes = w.takes ? s.petrov : w.takes;
            change.addSwaps.push_back(w);
        }
        return st.changeMarks(change);
    };
}

struct RefusedEdit {
    const char* name;
    Edit edit;
    std::vector<std::string> says;
};

class StoreRefuses : public ::testing::TestWithParam<RefusedEdit> {
protected:
    void SetUp() override {
        const Date jan1 = day(2025, 1, 1);
        s.ivanov = store
                       .addPerson({{0, "Иванов Иван Иванович", "101", 40},
                                   {{jan1, 1}},
                                   {{day(2025, 7, 1), day(2025, 7, 28), Absence::AnnualLeave, "", 0}}})
                       .id;
        s.petrov = store.addPerson({{0, "Петров Пётр", "102", 40}, {{jan1, 2}}, {}}).id;
        s.sidorova =
            store.addPerson({{0, "Сидорова Анна", "", 36}, {{jan1, 3}, {day(2025, 10, 1), 0}}, {}}).id;
        ASSERT_TRUE(store.addSwap({d1, s.ivanov, s.petrov, "", 0})) << store.problem();
    }
    TempFolder folder;
    RosterStore store{folder / "sutograf.db", folder.path(), 0};
    Station s;
};

TEST_P(StoreRefuses, WithAReasonAndChangesNothing) {
    const Roster before = store.roster();
    const auto bytes = bytesOf(folder / "sutograf.db");
    const Saved r = GetParam().edit(store, s);
    EXPECT_FALSE(r);
    for (const std::string& part : GetParam().says) {
        EXPECT_NE(r.error.find(part), std::string::npos) << "«" << part << "» not in: " << r.error;
    }
    EXPECT_EQ(store.roster(), before);
    EXPECT_EQ(bytesOf(folder / "sutograf.db"), bytes);
}

constexpr Who ivanov = &Station::ivanov, petrov = &Station::petrov, sidorova = &Station::sidorova;
const std::string D1 = shortDateText(d1);

INSTANTIATE_TEST_SUITE_P(
    Rules, StoreRefuses,
    ::testing::Values(
        RefusedEdit{"PersonWithoutName", newPerson("  ", 40), {"Не указаны"}},
        RefusedEdit{"WeekOf38Hours", newPerson("Орлов", 38), {"Орлов", "38", "40 или 36"}},
        RefusedEdit{"AbsenceBeforeYear100",
                    absence(ivanov, Date{kFirstDate.serial - 1}, kFirstDate, Absence::Sick),
                    {"Иванов", "100-9999"}},
        RefusedEdit{
            "WatchChangeAfter9999", watchFrom(ivanov, Date{kLastDate.serial + 1}, 2), {"Иванов", "100-9999"}},
        RefusedEdit{"GiverNotOnDuty",
                    swap(dutyOf(2, apr1), ivanov, nullptr),
                    {"Иванов", shortDateText(dutyOf(2, apr1)), "дежурит 2 караул, а не 1"}},
        RefusedEdit{"GiverOnLeave",
                    swap(dutyOf(1, jul10), ivanov, petrov),
                    {"Иванов", shortDateText(dutyOf(1, jul10)), "отсутствует", "ОТ"}},
        RefusedEdit{"TakerOnOwnDuty",
                    swap(dutyOf(2, apr1), nullptr, petrov),
                    {"Петров", shortDateText(dutyOf(2, apr1)), "свой 2 караул"}},
        RefusedEdit{"TakerOnLeave",
                    swap(dutyOf(2, jul10), petrov, ivanov),
                    {"Иванов", shortDateText(dutyOf(2, jul10)), "отсутствует"}},
        RefusedEdit{"TakerWhoHasLeftTheUnit",
                    swap(dutyOf(1, day(2025, 11, 1)), ivanov, sidorova),
                    {"Сидорова", shortDateText(dutyOf(1, day(2025, 11, 1))), "не состоит"}},
        RefusedEdit{"SameDutyGivenTwice", swap(d1, ivanov, nullptr), {"Иванов", D1, "уже отдана"}},
        RefusedEdit{"SecondDutyTakenTheSameDay", swap(d1, nullptr, petrov), {"Петров", D1, "уже берёт"}},
        RefusedEdit{"SwapWithNobodyOnTheRoster", swap(d1, nullptr, nullptr), {"хотя бы одна сторона"}},
        RefusedEdit{"TrainingOverlappingLeave",
                    absence(ivanov, day(2025, 7, 20), day(2025, 8, 2), Absence::Training),
                    {"Иванов", "ПК с 20.07.2025 по 02.08.2025", "ОТ с 01.07.2025 по 28.07.2025"}},
        RefusedEdit{"UnpaidLeaveOverLeave",
                    absence(ivanov, day(2025, 7, 25), day(2025, 8, 5), Absence::UnpaidLeave),
                    {"Иванов", "ДО с 25.07.2025 по 05.08.2025", "пересекается"}},
        RefusedEdit{"AbsenceOverADutyTaken",
                    absence(petrov, d1, d1, Absence::BusinessTrip),
                    {"Петров", D1, "сначала удалите"}},
        RefusedEdit{"AbsenceAfterLeavingTheUnit",
                    absence(sidorova, day(2025, 9, 28), day(2025, 10, 3), Absence::Sick),
                    {"Сидорова", "01.10.2025", "не состоит"}},
        RefusedEdit{"LeavingDateStrandsLeave",
                    watchFrom(ivanov, day(2025, 7, 15), 0),
                    {"Иванов", "15.07.2025", "ОТ с 01.07.2025 по 28.07.2025"}},
        RefusedEdit{"WatchChangeLeavesAGivenDutyNotTheirs",
                    watchFrom(ivanov, day(2025, 2, 1), 3),
                    {"Иванов", D1, "стал бы неверным"}},
        RefusedEdit{"JoiningDateRemovedUnderATakenDuty",
                    watchFrom(petrov, day(2025, 1, 1), -1),
                    {"Петров", D1, "не состоит"}},
        RefusedEdit{"MarksWhoseLastPartIsRefusedSaveNoneOfThem",
                    marks({{ivanov, {day(2025, 7, 1), day(2025, 7, 14), Absence::AnnualLeave, "", 0}}},
                          {{dutyOf(2, apr1), 1, 1, "", 0}}),
                    {"Иванов", "дежурит 2 караул"}},
        RefusedEdit{"MarksPutOnJudgedAgainstEachOther",
                    marks({{petrov, {apr1, apr1, Absence::Sick, "", 0}},
                           {petrov, {apr1, day(2025, 4, 3), Absence::Training, "", 0}}},
                          {}, false),
                    {"Петров", "пересекается"}},
        RefusedEdit{"MarkOfARowAlreadyGone",
                    [](RosterStore& st, const Station&) { return st.changeMarks({{999}, {}, {}, {}}); },
                    {"запись 999", "уже нет"}},
        RefusedEdit{"AbsenceOfSomeoneNotOnTheRoster",
                    absence(&Station::nobody, jul10, jul10, Absence::Sick),
                    {"нет в составе"}}),
    [](const auto& info) { return std::string(info.param.name); });

// The exception to the overlap rule, and what removing someone does to a comrade's swap.
TEST(StoreAccepts, SickInsideLeaveAndKeepsAComradesSwapWhenSomeoneIsRemoved) {
    TempFolder folder;
    RosterStore store(folder / "sutograf.db", folder.path(), 0);
    const Date d2 = dutyOf(1, apr1);
    const PersonId ivanov = store.addPerson({{0, "Иванов", "", 40}, {{day(2025, 1, 1), 1}}, {}}).id;
    const PersonId petrov = store.addPerson({{0, "Петров", "", 40}, {{day(2025, 1, 1), 2}}, {}}).id;
    EXPECT_TRUE(store.addAbsence(ivanov, {day(2025, 7, 1), day(2025, 7, 28), Absence::AnnualLeave, "", 0}));
    EXPECT_TRUE(store.addAbsence(ivanov, {day(2025, 7, 20), day(2025, 7, 31), Absence::Sick, "", 0}));
    EXPECT_TRUE(store.addSwap({d1, ivanov, petrov, "", 0}));
    EXPECT_TRUE(store.addSwap({d2, ivanov, std::nullopt, "Кузнецов", 0}));
    ASSERT_TRUE(store.removePerson(ivanov));
    RosterStore reread(folder / "sutograf.db", folder.path(), 0);
    EXPECT_EQ(reread.roster().swaps, (std::vector<DutySwap>{{d1, std::nullopt, petrov, "Иванов", 1}}));
    EXPECT_EQ(reread.roster(), store.roster());
}

} // namespace
