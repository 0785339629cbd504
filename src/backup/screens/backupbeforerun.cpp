#include "backup/screens/backupbeforerun.h"

#include "backup/autobackup.h"
#include "core/apperror.h"
#include "core/database.h"
#include "core/screens/messagebox.h"
#include "core/screens/waitcursor.h"
#include "core/sqldialect.h"

bool backupBeforeRun(QWidget* parent) {
    // A server's database is backed up on the server with its own tools
    // (pg_dump); a copy of a file is what this takes.
    if (engineOf(gCon()) == SqlEngine::Postgres)
        return true;
    try {
        const WaitCursor busy;
        AutoBackup::takeBeforeRun(gCon().databaseName(), AutoBackup::programSettings());
    } catch (const AppError& e) {
        MessageBox::error(parent, e.text());
        return false;
    }
    return true;
}
