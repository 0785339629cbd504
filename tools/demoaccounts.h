#pragma once

#include <QSqlDatabase>

// A few demo home-workers are paid by bank transfer, with their accounts.
namespace DemoAccounts {

// Marks them in naishoku_m; the rows must exist. Throws DbError.
void insert(const QSqlDatabase& db);

} // namespace DemoAccounts
