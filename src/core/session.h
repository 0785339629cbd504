#pragma once

#include <QString>

// Values shared by every screen for the whole run. Screens pass everything
// else (an edit mode, the key of a record) through their constructors.
extern QString gEmpCode;        // 社員コード of the employee who logged in ("" before)
extern QString gSeisanTimeText; // time stamp of the last settlement run, "" when none
