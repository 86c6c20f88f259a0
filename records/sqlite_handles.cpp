#include "sqlite_handles.h"

#include <sqlite3.h>

#include <utility>

namespace sutograf::sql {

Connection::~Connection() { close(); }

Connection::Connection(Connection&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}

Connection& Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        close();
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

int Connection::open(const std::string& path, int flags) {
    close();
    const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        close(); // sqlite3_open_v2 hands out a handle even when it fails
    } else {
        sqlite3_extended_result_codes(db_, 1);
    }
    return rc;
}

void Connection::close() {
    if (db_ != nullptr) {
        // Statements and transactions are scoped inside the store's calls, so none is left open here.
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

int Connection::exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

std::optional<std::int64_t> Connection::integer(const char* sql) {
    Statement s(*this, sql);
    if (s.prepared() != SQLITE_OK || s.step() != SQLITE_ROW || s.isNull(0)) {
        return std::nullopt;
    }
    return s.integer(0);
}

std::optional<std::string> Connection::text(const char* sql) {
    Statement s(*this, sql);
    if (s.prepared() != SQLITE_OK || s.step() != SQLITE_ROW) {
        return std::nullopt;
    }
    return std::string(s.text(0));
}

std::int64_t Connection::lastInsertId() const { return sqlite3_last_insert_rowid(db_); }

int Connection::changes() const { return sqlite3_changes(db_); }

int Connection::errorCode() const { return db_ != nullptr ? sqlite3_extended_errcode(db_) : SQLITE_MISUSE; }

std::string Connection::lastError() const { return db_ != nullptr ? sqlite3_errmsg(db_) : "no connection"; }

Statement::Statement(Connection& db, std::string_view sql)
    : prepareResult_(
          sqlite3_prepare_v2(db.get(), sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr)) {
    if (prepareResult_ == SQLITE_OK && stmt_ == nullptr) {
        prepareResult_ = SQLITE_MISUSE; // empty text: nothing to run
    }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

Statement& Statement::bind(int index, std::string_view value) {
    sqlite3_bind_text64(stmt_, index, value.data(), value.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    return *this;
}

Statement& Statement::bindNull(int index) {
    sqlite3_bind_null(stmt_, index);
    return *this;
}

int Statement::step() { return stmt_ != nullptr ? sqlite3_step(stmt_) : prepareResult_; }

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::int64_t Statement::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

bool Statement::isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

std::string_view Statement::text(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return p != nullptr ? std::string_view(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                        : std::string_view();
}

Transaction::Transaction(Connection& db, Kind kind)
    : db_(db), beginResult_(db.exec(kind == Kind::Write ? "BEGIN IMMEDIATE" : "BEGIN")),
      open_(beginResult_ == SQLITE_OK) {}

Transaction::~Transaction() {
    if (open_) {
        db_.exec("ROLLBACK");
    }
}

int Transaction::commit() {
    const int rc = db_.exec("COMMIT");
    if (rc == SQLITE_OK) {
        open_ = false;
        return rc;
    }
    // A failed COMMIT may leave the transaction open (busy) or have rolled it back already (full
    // disk, I/O error); either way nothing of it stays.
    if (sqlite3_get_autocommit(db_.get()) == 0) {
        db_.exec("ROLLBACK");
    }
    open_ = false;
    return rc;
}

} // namespace sutograf::sql
