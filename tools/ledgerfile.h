#pragma once

#include <QString>
#include <QtGlobal>

struct sqlite3;

namespace zarn::ledgerfile {

// Creates a new database file with the ledger table xmb and the user table
// new, and an index on the contract number. Refuses an existing file.
void create(const QString &path);

// Adds a user (name and password; a null password is stored as Null).
void addUser(const QString &path, const QString &name, const QString &password);

// A few dozen realistic rows of a metals trader's ledger, with two users.
void addDemoData(const QString &path);

// `count` deterministic synthetic rows; the same seed gives the same rows.
// `progress` is called now and then with the rows written so far.
void addSyntheticRows(const QString &path, qint64 count, quint64 seed,
                      void (*progress)(qint64 written, qint64 total) = nullptr);

// The demo users, as the README documents them.
inline constexpr const char *kDemoUser = "管理员";
inline constexpr const char *kDemoPassword = "8888";

} // namespace zarn::ledgerfile
