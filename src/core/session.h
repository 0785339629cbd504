#pragma once

#include <QString>

// Values shared by every screen for the whole run.
extern QString gEmpCode;  // 社員コード of the employee who logged in ("" before)
extern QString gPassword; // that employee's stored password ("" when Null)

// Screen-to-screen parameters, set by the calling screen just before it
// opens the called one.
extern int gEditMode;           // 1 add, 2 edit, 3 copy
extern QString gSelKey;         // key of the selected list row, "" when none
extern qint64 gPriceSerial;     // 単価シリアル of the selected price line, 0 when none
extern QString gSeisanTimeText; // time stamp of the last settlement run
extern QString gSelSeisanTime;  // 精算日時 of the settlement chosen in the list, "" when none
