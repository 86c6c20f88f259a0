#include "roster_store.h"

#include "db_file.h"
#include "roster_rules.h"
#include "roster_schema.h"
#include "roster_tables.h"
#include "sqlite_handles.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <random>
#include <system_error>

namespace sutograf {

namespace fs = std::filesystem;

namespace {

// The cause of a failed SQLite call in a few Russian words.
std::string causeOf(int code) {
    switch (code & 0xFF) {
    case SQLITE_FULL:
        return "на диске нет места";
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return "нет права записи в этот файл или в его папку, или диск защищён от записи";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "файл занят другой программой дольше 5 секунд; попробуйте ещё раз";
    case SQLITE_IOERR:
        return "ошибка записи на диск";
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return "файл повреждён";
    case SQLITE_CONSTRAINT:
        return "запись противоречит правилам файла";
    default:
        return "ошибка SQLite " + std::to_string(code);
    }
}

fs::path absolutePath(const fs::path& p) {
    std::error_code ec;
    const fs::path a = fs::weakly_canonical(fs::absolute(p, ec), ec);
    return ec ? p : a;
}

// Two programs making the file at once must not share a temporary file; the clock too, since some
// standard libraries' random_device repeats itself from run to run.
std::string uniqueSuffix() {
    std::random_device random;
    return std::to_string(random()) + "-" +
           std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
}

} // namespace

struct RosterStore::State {
    fs::path file, writeFolder;
    float offset = 0;
    sql::Connection db; // open while the file is there and ours
    bool dbWritable = false;
    Roster roster;
    std::string problem;
    bool refused = false; // not ours, damaged or unreadable: never touched again this run
    bool writable = false;
    std::int64_t dataVersion = -1;

    std::string name() const { return dbfile::utf8(file); }
    fs::path target() const { return writeFolder / file.filename(); }
    bool inPlace() const {
        return !writeFolder.empty() && absolutePath(file.parent_path()) == absolutePath(writeFolder);
    }

    void refuse(const std::string& why) {
        db.close();
        roster = {};
        refused = true;
        writable = false;
        problem = "Файл состава " + name() + " " + why + ". Состав не показан, и файл не будет изменён.";
    }

    void open();
    bool connect(bool readWrite);
    bool reload();
    Saved makeFile();
    Saved edit(const std::function<Refusal(const Roster&)>& check,
               const std::function<int(sql::Connection&, std::int64_t&)>& write);
};

// Whether the file is ours and sound; on failure the store is refused. The connection is left open.
bool RosterStore::State::connect(bool readWrite) {
    const int rc = db.open(name(), readWrite ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY);
    if (rc != SQLITE_OK) {
        refuse("не открывается (" + causeOf(rc) + ")");
        return false;
    }
    const bool configured = readWrite ? configureConnection(db)
                                      : db.exec("PRAGMA foreign_keys = ON") == SQLITE_OK &&
                                            sqlite3_busy_timeout(db.get(), 5000) == SQLITE_OK;
    const auto check = db.text("PRAGMA quick_check");
    if (!check || !configured) {
        const int code = db.errorCode();
        // A hot journal left by a program killed in the middle of an edit: only a connection that
        // may write can roll it back. The header has already said the file is ours.
        if (!readWrite && code == SQLITE_READONLY_ROLLBACK && writable && inPlace()) {
            return connect(true);
        }
        refuse(code == SQLITE_READONLY_ROLLBACK
                   ? "хранит прерванную запись, а отменить её нельзя: " + causeOf(SQLITE_READONLY)
                   : "не читается (" + causeOf(code) + ")");
        return false;
    }
    if (*check != "ok") {
        refuse("повреждён: проверка SQLite (quick_check) нашла ошибки");
        return false;
    }
    // Asked again through SQLite: a rolled-back journal may have changed the header.
    if (db.integer("PRAGMA application_id") != std::int64_t{kRosterApplicationId}) {
        refuse("принадлежит другой программе");
        return false;
    }
    dbWritable = readWrite;
    return true;
}

void RosterStore::State::open() {
    db.close();
    roster = {};
    problem.clear();
    refused = false;
    dbWritable = false;
    dataVersion = -1;
    const bool here = inPlace();
    const dbfile::Kind kind = dbfile::kindAt(file);
    writable = !writeFolder.empty() && dbfile::canWriteFolder(writeFolder) &&
               (!here || kind != dbfile::Kind::Regular || dbfile::canWriteFile(file));
    if (writeFolder.empty()) {
        problem = "Состав открыт только для чтения: папка программы защищена от записи, а домашней папки, "
                  "где его хранить, нет.";
    } else if (!writable) {
        problem = "Состав открыт только для чтения: в папку " + dbfile::utf8(writeFolder) +
                  (here && kind == dbfile::Kind::Regular ? " или в файл " + name() : std::string()) +
                  " записать нельзя (нет права записи, или диск защищён от записи).";
    }
    switch (kind) {
    case dbfile::Kind::Missing:
        return; // made by the first edit
    case dbfile::Kind::Folder:
        return refuse("— это папка, а не файл");
    case dbfile::Kind::Other:
        return refuse("— не обычный файл (канал, устройство или ссылка на них)");
    case dbfile::Kind::Unreadable:
        return refuse("не читается (нет права доступа к его папке)");
    case dbfile::Kind::Regular:
        break;
    }
    const auto header = dbfile::readHeader(file);
    if (!header) {
        return refuse("не читается (нет права чтения)");
    }
    if (!header->sqlite) {
        return refuse("— не база данных SQLite (возможно, на его месте оказался другой файл)");
    }
    if (header->applicationId != kRosterApplicationId) {
        return refuse("— база данных другой программы");
    }
    if (header->userVersion > static_cast<std::uint32_t>(kRosterSchemaVersion)) {
        return refuse("записан более новой версией программы (версия " + std::to_string(header->userVersion) +
                      ", эта программа знает версии до " + std::to_string(kRosterSchemaVersion) +
                      "); обновите программу");
    }
    if (header->userVersion == 0) {
        return refuse("повреждён: в нём нет версии");
    }
    // Read-only first: a damaged file must not be written even by a journal's rollback.
    if (!connect(false)) {
        return;
    }
    if (writable && here) {
        db.close();
        if (!connect(true)) {
            return;
        }
    }
    const auto version = db.integer("PRAGMA user_version");
    if (!version || *version > kRosterSchemaVersion) {
        return refuse("записан более новой версией программы; обновите программу");
    }
    if (*version < kRosterSchemaVersion) {
        if (!dbWritable) {
            return refuse("записан прежней версией программы, а обновить его здесь нельзя: " +
                          causeOf(SQLITE_READONLY));
        }
        if (auto failed = migrateRoster(db, file, rosterMigrations(), kRosterSchemaVersion)) {
            db.close();
            refused = true;
            writable = false;
            problem = *failed;
            return;
        }
    }
    if (!reload()) {
        refuse("хранит записи, которые программа не понимает");
    }
}

bool RosterStore::State::reload() {
    sql::Transaction read(db, sql::Transaction::Kind::Read);
    const auto version = db.integer("PRAGMA data_version");
    auto fresh = readRoster(db);
    if (!fresh || !version) {
        return false;
    }
    roster = std::move(*fresh);
    dataVersion = *version;
    return true;
}

// Makes the file in the write folder: a copy of the one read elsewhere, or a new one, whole before
// it appears under its name.
Saved RosterStore::State::makeFile() {
    const fs::path to = target();
    const auto failed = [&](const std::string& cause) {
        return Saved{
            "Файл состава " + dbfile::utf8(to) + " не создан: " + cause + ". Изменение не сохранено.", 0};
    };
    std::error_code ec;
    fs::create_directories(writeFolder, ec);
    const fs::path temp = writeFolder / file.filename().concat(".").concat(uniqueSuffix()).concat(".new");
    {
        sql::Connection made;
        int rc = made.open(dbfile::utf8(temp), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (rc == SQLITE_OK) {
            rc = configureConnection(made) ? SQLITE_OK : made.errorCode();
        }
        if (rc == SQLITE_OK && db) {
            sqlite3_backup* copy = sqlite3_backup_init(made.get(), "main", db.get(), "main");
            rc = copy == nullptr ? made.errorCode() : sqlite3_backup_step(copy, -1);
            const int finished = copy == nullptr ? rc : sqlite3_backup_finish(copy);
            rc = rc == SQLITE_DONE ? finished : rc;
        } else if (rc == SQLITE_OK) {
            rc = createRosterSchema(made);
        }
        if (rc != SQLITE_OK) {
            made.close();
            fs::remove(temp, ec);
            return failed(causeOf(rc));
        }
    }
    const dbfile::Placed placed = dbfile::placeNew(temp, to);
    fs::remove(temp, ec);
    if (placed == dbfile::Placed::Failed) {
        return failed(causeOf(SQLITE_IOERR));
    }
    // Taken: another program made it first; theirs is read like any other.
    file = to;
    open();
    if (!db || !dbWritable) {
        return {problem.empty() ? "Файл состава " + name() + " не открылся для записи" : problem, 0};
    }
    return {};
}

Saved RosterStore::State::edit(const std::function<Refusal(const Roster&)>& check,
                               const std::function<int(sql::Connection&, std::int64_t&)>& write) {
    if (refused || !writable) {
        return {"Изменение не сохранено. " + problem, 0};
    }
    if (!db || !dbWritable) {
        // Nothing to write into yet: the check comes first, so that a refused edit makes no file.
        if (auto r = check(roster)) {
            return {*r, 0};
        }
        if (Saved made = makeFile(); !made) {
            return made;
        }
    }
    const auto failed = [this](int code) {
        return Saved{"Изменение не сохранено в файл " + name() + ": " + causeOf(code) + ".", 0};
    };
    sql::Transaction tx(db);
    if (tx.began() != SQLITE_OK) {
        return failed(tx.began());
    }
    // Under the write lock, what another program saved is read before the edit is judged.
    if (db.integer("PRAGMA data_version") != dataVersion) {
        auto fresh = readRoster(db);
        if (!fresh) {
            return failed(SQLITE_CORRUPT);
        }
        roster = std::move(*fresh);
        dataVersion = db.integer("PRAGMA data_version").value_or(-1);
    }
    if (auto r = check(roster)) {
        return {*r, 0};
    }
    std::int64_t id = 0;
    if (const int rc = write(db, id); rc != SQLITE_DONE && rc != SQLITE_OK) {
        return failed(rc);
    }
    auto after = readRoster(db);
    if (!after) {
        return failed(db.errorCode());
    }
    if (const int rc = tx.commit(); rc != SQLITE_OK) {
        return failed(rc);
    }
    roster = std::move(*after);
    return {{}, id};
}

RosterStore::RosterStore(fs::path file, fs::path writeFolder, float offset) : s_(std::make_unique<State>()) {
    s_->file = std::move(file);
    s_->writeFolder = std::move(writeFolder);
    s_->offset = offset;
    s_->open();
}

RosterStore::~RosterStore() = default;

const Roster& RosterStore::roster() const { return s_->roster; }
bool RosterStore::writable() const { return s_->writable && !s_->refused; }
const std::string& RosterStore::problem() const { return s_->problem; }
const fs::path& RosterStore::path() const { return s_->file; }
void RosterStore::setOffset(float offset) { s_->offset = offset; }

bool RosterStore::refresh() {
    State& s = *s_;
    if (s.refused) {
        return false;
    }
    if (!s.db) {
        if (dbfile::kindAt(s.file) == dbfile::Kind::Missing) {
            return false;
        }
        s.open(); // another program made it
        return true;
    }
    if (s.db.integer("PRAGMA data_version") == s.dataVersion) {
        return false;
    }
    if (!s.reload()) {
        s.refuse("хранит записи, которые программа не понимает");
    }
    return true;
}

namespace {

std::string nobody(PersonId id) {
    return "Человека с номером записи " + std::to_string(id) + " нет в составе";
}

} // namespace

Saved RosterStore::addPerson(const PersonRecord& who) { return addPeople({&who, 1}); }

Saved RosterStore::addPeople(std::span<const PersonRecord> people) {
    if (people.empty()) {
        return {"Добавлять некого: ни одного человека", 0};
    }
    return s_->edit(
        [people](const Roster&) -> Refusal {
            for (const PersonRecord& p : people) {
                if (auto r = checkNewPerson(p)) {
                    return r;
                }
            }
            return std::nullopt;
        },
        [people](sql::Connection& db, std::int64_t& firstId) {
            for (std::size_t i = 0; i < people.size(); ++i) {
                PersonId id = 0;
                if (const int rc = insertPerson(db, people[i], id); rc != SQLITE_DONE) {
                    return rc;
                }
                firstId = i == 0 ? id : firstId;
            }
            return SQLITE_DONE;
        });
}

Saved RosterStore::updatePerson(const Person& p) {
    return s_->edit(
        [p](const Roster& r) { return r.find(p.id) == nullptr ? Refusal(nobody(p.id)) : checkPerson(p); },
        [p](sql::Connection& db, std::int64_t& id) {
            id = p.id;
            return updatePersonRow(db, p);
        });
}

Saved RosterStore::removePerson(PersonId id) {
    return s_->edit(
        [id](const Roster& r) { return r.find(id) == nullptr ? Refusal(nobody(id)) : std::nullopt; },
        [id](sql::Connection& db, std::int64_t&) { return deletePersonRow(db, id); });
}

Saved RosterStore::setWatch(PersonId id, Date from, int watch) {
    if (watch < 1 || watch > 4) {
        return {"Караула " + std::to_string(watch) + " нет: бывают 1-4", 0};
    }
    return changeSpell(id, from, watch);
}

Saved RosterStore::markLeft(PersonId id, Date from) { return changeSpell(id, from, 0); }

Saved RosterStore::removeSpell(PersonId id, Date from) { return changeSpell(id, from, std::nullopt); }

Saved RosterStore::changeSpell(PersonId id, Date from, std::optional<int> watch) {
    const float offset = s_->offset;
    return s_->edit(
        [=](const Roster& r) -> Refusal {
            const PersonRecord* p = r.find(id);
            if (p == nullptr) {
                return nobody(id);
            }
            PersonRecord changed = *p;
            const auto erased =
                std::erase_if(changed.watches, [from](const WatchSpell& w) { return w.from == from; });
            if (watch) {
                changed.watches.push_back({from, *watch});
            } else if (erased == 0) {
                return "«" + p->person.name +
                       "»: " + (inModel(from) ? shortDateText(from) : std::string("в этот день")) +
                       " караул не менялся";
            }
            return checkSpells(r, changed, offset);
        },
        [=](sql::Connection& db, std::int64_t&) {
            return watch ? putSpell(db, id, {from, *watch}) : deleteSpell(db, id, from);
        });
}

Saved RosterStore::addAbsence(PersonId id, const AbsenceSpan& a) {
    return s_->edit(
        [id, &a](const Roster& r) -> Refusal {
            const PersonRecord* p = r.find(id);
            return p == nullptr ? Refusal(nobody(id)) : checkAbsence(r, *p, a);
        },
        [id, &a](sql::Connection& db, std::int64_t& newId) { return insertAbsence(db, id, a, newId); });
}

Saved RosterStore::removeAbsence(std::int64_t absenceId) {
    return s_->edit(
        [absenceId](const Roster& r) -> Refusal {
            for (const PersonRecord& p : r.people) {
                for (const AbsenceSpan& a : p.absences) {
                    if (a.id == absenceId) {
                        return std::nullopt;
                    }
                }
            }
            return "Такого отсутствия (запись " + std::to_string(absenceId) + ") в составе уже нет";
        },
        [absenceId](sql::Connection& db, std::int64_t&) { return deleteAbsence(db, absenceId); });
}

Saved RosterStore::addSwap(const DutySwap& s) {
    const float offset = s_->offset;
    return s_->edit([&s, offset](const Roster& r) { return checkSwap(r, s, offset); },
                    [&s](sql::Connection& db, std::int64_t& newId) { return insertSwap(db, s, newId); });
}

Saved RosterStore::removeSwap(std::int64_t swapId) {
    return s_->edit(
        [swapId](const Roster& r) -> Refusal {
            const bool there = std::any_of(r.swaps.begin(), r.swaps.end(),
                                           [swapId](const DutySwap& w) { return w.id == swapId; });
            return there ? Refusal()
                         : Refusal("Такого обмена (запись " + std::to_string(swapId) + ") в составе уже нет");
        },
        [swapId](sql::Connection& db, std::int64_t&) { return deleteSwap(db, swapId); });
}

Saved RosterStore::changeMarks(const MarkChange& change, MarkIds* added) {
    if (change.removeAbsences.empty() && change.removeSwaps.empty() && change.addAbsences.empty() &&
        change.addSwaps.empty()) {
        return {"Отмечать нечего: изменений нет", 0};
    }
    const float offset = s_->offset;
    const auto check = [&change, offset](const Roster& now) -> Refusal {
        Roster r = now;
        for (const std::int64_t id : change.removeAbsences) {
            const bool erased = std::any_of(r.people.begin(), r.people.end(), [id](PersonRecord& p) {
                return std::erase_if(p.absences, [id](const AbsenceSpan& a) { return a.id == id; }) > 0;
            });
            if (!erased) {
                return "Такого отсутствия (запись " + std::to_string(id) + ") в составе уже нет";
            }
        }
        for (const std::int64_t id : change.removeSwaps) {
            if (std::erase_if(r.swaps, [id](const DutySwap& w) { return w.id == id; }) == 0) {
                return "Такого обмена (запись " + std::to_string(id) + ") в составе уже нет";
            }
        }
        // What is added stands in the roster under a row number no stored row has.
        std::int64_t placeholder = 0;
        for (const PersonAbsence& a : change.addAbsences) {
            PersonRecord* p = r.find(a.person);
            if (p == nullptr) {
                return nobody(a.person);
            }
            if (auto refusal = checkAbsence(r, *p, a.span)) {
                return refusal;
            }
            p->absences.push_back(a.span);
            p->absences.back().id = --placeholder;
        }
        for (const DutySwap& s : change.addSwaps) {
            DutySwap fresh = s;
            fresh.id = 0;
            if (auto refusal = checkSwap(r, fresh, offset)) {
                return refusal;
            }
            fresh.id = --placeholder;
            r.swaps.push_back(fresh);
        }
        return std::nullopt;
    };
    MarkIds ids;
    const Saved saved = s_->edit(check, [&change, &ids](sql::Connection& db, std::int64_t& first) {
        ids = {};
        for (const std::int64_t id : change.removeAbsences) {
            if (const int rc = deleteAbsence(db, id); rc != SQLITE_DONE) {
                return rc;
            }
        }
        for (const std::int64_t id : change.removeSwaps) {
            if (const int rc = deleteSwap(db, id); rc != SQLITE_DONE) {
                return rc;
            }
        }
        for (const PersonAbsence& a : change.addAbsences) {
            std::int64_t id = 0;
            if (const int rc = insertAbsence(db, a.person, a.span, id); rc != SQLITE_DONE) {
                return rc;
            }
            ids.absences.push_back(id);
        }
        for (const DutySwap& s : change.addSwaps) {
            std::int64_t id = 0;
            if (const int rc = insertSwap(db, s, id); rc != SQLITE_DONE) {
                return rc;
            }
            ids.swaps.push_back(id);
        }
        first = !ids.absences.empty() ? ids.absences.front() : ids.swaps.empty() ? 0 : ids.swaps.front();
        return SQLITE_DONE;
    });
    if (saved && added != nullptr) {
        *added = std::move(ids);
    }
    return saved;
}

} // namespace sutograf
