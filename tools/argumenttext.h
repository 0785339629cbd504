#pragma once

#include <QString>
#include <QStringList>

// How the administration command names what it was given.
namespace ArgumentText {

// Longer arguments are cut to this many characters and "…" in messages, so
// that a pasted file or a runaway script cannot flood the terminal.
constexpr qsizetype kShownLength = 100;

QString shown(const QString& argument);

// `message` with every argument longer than kShownLength shortened.
QString shortened(QString message, const QStringList& arguments);

// Why `path` cannot name a database file (empty, a folder); "" when it can.
QString pathProblem(const QString& path);

} // namespace ArgumentText
