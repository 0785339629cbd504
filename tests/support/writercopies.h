#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Races between two copies of the program: the test executable starts
// copies of itself that each run the same saves against one database file,
// and every copy prints "<failed saves> <last reason>".
namespace WriterCopies {

// Call first in main(): in a copy, runs `saves` (given the database path
// and the copy's index) and returns true with the exit code to return.
bool runIfCopy(const std::function<void(const QString& path, int index)>& saves, int& exitCode);

// Starts `copies` copies on the database at `path`, waits for them and
// returns what each printed; a copy that failed to run reports so.
QStringList run(const QString& path, int copies);

// Runs `save` `times` times and prints the copy's report line.
void reportFailures(int times, const std::function<void(int i)>& save);

} // namespace WriterCopies
