#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "records/test_files.h"
#include "roster_csv.h"
#include "roster_store.h"

using namespace sutograf;

namespace {

Date day(int y, int m, int d) { return *dateOf(y, m, d); }

Roster sample() {
    Roster r;
    r.people = {
        {{1, "Иванов Иван Иванович", "101", 40},
         {{day(2020, 1, 1), 1}, {day(2023, 6, 15), 3}, {day(2025, 1, 1), 0}},
         {}},
        {{2, "Петрова; \"Анна\"", "", 36}, {{day(2024, 3, 1), 2}}, {}},
        {{3, "Новиков; Н.", "0042", 40}, {}, {}},
        {{4, "Однофамилец", "7", 40}, {{day(2024, 1, 1), 4}}, {}},
        {{5, "Однофамилец", "8", 36}, {{day(2024, 1, 1), 4}}, {}},
    };
    return r;
}

// The same people apart from their ids, which the file does not carry.
std::vector<PersonRecord> withoutIds(std::vector<PersonRecord> people) {
    for (PersonRecord& p : people) {
        p.person.id = 0;
    }
    return people;
}

TEST(RosterCsv, ExportedRosterReadsBackTheSame) {
    const std::string text = rosterCsv(sample());
    EXPECT_TRUE(text.starts_with("\xEF\xBB\xBF"
                                 "ФИО;Табельный номер;Караул;С какого дня;Часов в неделю\r\n"));
    EXPECT_NE(text.find("\r\nИванов Иван Иванович;101;выбыл;01.01.2025;40\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n\"Петрова; \"\"Анна\"\"\";;2;01.03.2024;36\r\n"), std::string::npos);
    const RosterImport back = readRosterCsv(text);
    EXPECT_TRUE(back.errors.empty()) << back.errors[0].line << ": " << back.errors[0].message;
    EXPECT_EQ(back.people, withoutIds(sample().people));

    // Through the store and out again: the very same text.
    TempFolder folder;
    RosterStore store(folder / "sutograf.db", folder.path(), 0);
    ASSERT_TRUE(store.addPeople(back.people));
    EXPECT_EQ(rosterCsv(store.roster()), text);
    // Read again over the stored roster, nobody comes in twice.
    const RosterImport again = readRosterCsv(text, store.roster());
    EXPECT_TRUE(again.people.empty());
    EXPECT_EQ(again.errors.size(), 8u);
}

struct BadFile {
    const char* name;
    std::string text;
    std::vector<std::pair<int, std::string>> errors; // line, part of the message; only the first ones
    std::size_t errorCount;
    std::vector<PersonRecord> people = {}; // taken from the good lines
};
void PrintTo(const BadFile& b, std::ostream* os) { *os << b.name; }

std::string junk(std::size_t size) {
    std::mt19937 random(7);
    std::string s(size, '\0');
    std::generate(s.begin(), s.end(), [&random] { return static_cast<char>(random()); });
    return s;
}

class RosterCsvBad : public ::testing::TestWithParam<BadFile> {};

TEST_P(RosterCsvBad, GivesNumberedReasonsAndKeepsTheGoodLines) {
    const RosterImport r = readRosterCsv(GetParam().text);
    EXPECT_EQ(r.people, GetParam().people);
    ASSERT_EQ(r.errors.size(), GetParam().errorCount);
    for (std::size_t i = 0; i < GetParam().errors.size(); ++i) {
        EXPECT_EQ(r.errors[i].line, GetParam().errors[i].first) << r.errors[i].message;
        EXPECT_NE(r.errors[i].message.find(GetParam().errors[i].second), std::string::npos)
            << r.errors[i].message;
    }
}

const std::string kHead = "ФИО;Табельный номер;Караул;С какого дня;Часов в неделю\r\n";

INSTANTIATE_TEST_SUITE_P(
    Files, RosterCsvBad,
    ::testing::Values(
        BadFile{"EmptyFile", "", {{1, "файл пуст"}}, 1},
        BadFile{"HeadingOnly", kHead, {{1, "нет ни одного человека"}}, 1},
        // "Иванов" and the heading in Windows-1251.
        BadFile{"Windows1251",
                "\xD4\xC8\xCE;\xD2\xE0\xE1\xE5\xEB\xFC\xED\xFB\xE9 "
                "\xED\xEE\xEC\xE5\xF0\r\n\xC8\xE2\xE0\xED\xEE\xE2;1;1;01.01.2025;40\r\n",
                {{1, "CSV UTF-8"}, {2, "Windows-1251"}},
                2},
        BadFile{"BadLines",
                kHead + "Иванов;1;1;01.01.2025;40\r\n"
                        ";2;1;01.01.2025;40\r\n"
                        "Петров;3;1;01.01.2025;38\r\n"
                        "Сидоров;4;7;01.01.2025;40\r\n"
                        "Орлов;5;2;31.02.2025;40\r\n"
                        "Козлов;6;2;;40\r\n"
                        "Иванов;1;2;01.01.2025;40\r\n"
                        "Другой;1;2;01.02.2025;40\r\n"
                        "\"Незакрытая;7;1;01.01.2025;40\r\n",
                {{3, "не указаны ФИО"},
                 {4, "40 или 36"},
                 {5, "«7»"},
                 {6, "«31.02.2025»"},
                 {7, "указываются вместе"},
                 {8, "уже указан"},
                 {9, "уже у «Иванов»"},
                 {10, "кавычка"}},
                8,
                {{{0, "Иванов", "1", 40}, {{day(2025, 1, 1), 1}}, {}}}},
        // As Excel saves a list typed into it: blank cells at line ends, empty rows of separators,
        // a quoted cell, dates as Excel writes them, and a further column of the user's own. The
        // unquoted ';' shifts the columns.
        BadFile{"AsExcelSavesIt",
                "\xEF\xBB\xBF"
                "ФИО;Табельный номер;Караул;С какого дня;Часов в неделю;Должность\r\n"
                "Иванов Иван;101;1;1.3.2024;40;водитель\r\n;;;;;\r\n"
                "\"Петров; Пётр\";102;2;2024-03-15;;\r\nПетров; Пётр;103;2;15.03.2024;36;\r\n;;;;;\r\n",
                {{5, ""}},
                1,
                {{{0, "Иванов Иван", "101", 40}, {{day(2024, 3, 1), 1}}, {}},
                 {{0, "Петров; Пётр", "102", 40}, {{day(2024, 3, 15), 2}}, {}}}},
        BadFile{"TenMegabytesOfJunk", junk(10 << 20), {{1, ""}}, csv::ErrorList::kMax + 1}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
