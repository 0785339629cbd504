#pragma once

#include <QString>

class SqlQuery;

// A statement on gCon prepared once and kept for as long as the connection
// lives: for work that runs the same statement again and again (a price per
// row, a slip per save), where preparing it anew would cost more than
// running it. Run a kept query to its end before leaving it, so that it
// holds no read lock meanwhile.
SqlQuery& keptStatement(const QString& sql);
