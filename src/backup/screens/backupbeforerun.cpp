#include "backup/screens/backupbeforerun.h"

#include "backup/autobackup.h"
#include "core/apperror.h"
#include "core/database.h"
#include "core/screens/messagebox.h"
#include "core/screens/waitcursor.h"

bool backupBeforeRun(QWidget* parent) {
    try {
        const WaitCursor busy;
        AutoBackup::takeBeforeRun(openDatabaseDsn(), AutoBackup::programSettings());
    } catch (const AppError& e) {
        MessageBox::error(parent, e.text());
        return false;
    }
    return true;
}
