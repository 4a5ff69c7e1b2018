#pragma once
// SQLite as the print journal and the print service use it: text columns read with their
// length, text bound as a copy, and prepared statements finalized however a function leaves.
#include <sqlite3.h>

#include <string>
#include <string_view>

namespace tavrin::sqlite {

inline std::string text(sqlite3_stmt* statement, int column) {
    const auto* bytes = sqlite3_column_text(statement, column);
    if (bytes == nullptr) return {};
    return {reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(sqlite3_column_bytes(statement, column))};
}

inline void bind(sqlite3_stmt* statement, int index, std::string_view value) {
    sqlite3_bind_text(statement, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
}

// A prepared statement for one use; false when the SQL could not be prepared.
class Statement {
public:
    Statement(sqlite3* db, const std::string& sql) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK) statement_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    explicit operator bool() const { return statement_ != nullptr; }
    sqlite3_stmt* get() const { return statement_; }
    Statement& bind(int index, std::string_view value) {
        sqlite::bind(statement_, index, value);
        return *this;
    }
    Statement& bind(int index, long long number) {
        sqlite3_bind_int64(statement_, index, number);
        return *this;
    }
    int step() { return sqlite3_step(statement_); }
    std::string text(int column) const { return sqlite::text(statement_, column); }
    long long number(int column) const { return sqlite3_column_int64(statement_, column); }

private:
    sqlite3_stmt* statement_ = nullptr;
};

}  // namespace tavrin::sqlite
