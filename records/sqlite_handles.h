#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace sutograf::sql {

// The few owning wrappers the roster store needs around SQLite's C API. Result codes are returned, not
// thrown: every failure becomes a Russian reason in the caller, which knows what was being done.

class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(Connection&& other) noexcept;
    Connection& operator=(Connection&& other) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // flags: SQLITE_OPEN_*. The path is taken as it is (no URI). On failure the connection stays
    // closed and the SQLite result code is returned.
    int open(const std::string& path, int flags);
    void close();

    explicit operator bool() const { return db_ != nullptr; }
    sqlite3* get() const { return db_; }

    // Runs statements that return no rows.
    int exec(const char* sql);
    // The first column of the first row of a query for a single integer (a PRAGMA), or nullopt.
    std::optional<std::int64_t> integer(const char* sql);
    // The first column of the first row as text, or nullopt.
    std::optional<std::string> text(const char* sql);
    std::int64_t lastInsertId() const;
    int changes() const;
    // The extended result code of the last failure.
    int errorCode() const;
    // SQLite's English words for the last failure, for the tests and a developer's eye.
    std::string lastError() const;

private:
    sqlite3* db_ = nullptr;
};

class Statement {
public:
    Statement(Connection& db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    int prepared() const { return prepareResult_; }

    // Binding by 1-based index; the text is copied by SQLite.
    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, std::string_view value);
    Statement& bindNull(int index);

    // SQLITE_ROW while there are rows, then SQLITE_DONE, or an error code.
    int step();
    // Runs a statement that returns no rows: SQLITE_DONE on success.
    int run() { return step(); }
    void reset();

    std::int64_t integer(int column) const;
    bool isNull(int column) const;
    std::string_view text(int column) const; // valid until the next step

private:
    sqlite3_stmt* stmt_ = nullptr;
    int prepareResult_ = 0;
};

// Write: BEGIN IMMEDIATE, which takes the write lock at once (waiting out the busy timeout), so that
// what the transaction reads is what it writes over. Read: BEGIN, so that several reads see one
// state of the file. Rolled back when it ends uncommitted.
class Transaction {
public:
    enum class Kind { Write, Read };
    explicit Transaction(Connection& db, Kind kind = Kind::Write);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    int began() const { return beginResult_; }
    // SQLITE_OK once the data is on the disk (with synchronous=FULL); otherwise the transaction is
    // rolled back and the error code returned.
    int commit();

private:
    Connection& db_;
    int beginResult_;
    bool open_;
};

} // namespace sutograf::sql
