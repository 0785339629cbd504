#pragma once

#include "core/clock.h"
#include "core/database.h"
#include "core/session.h"
#include "demodata.h"
#include "support/testdatabase.h"

// The demo data the tour's screens show, logged in as the demo's clerk; the
// login screen opens the database of TVL.INI again, so TVL.INI names it.
inline void fillTourDatabase(TestDatabase& db) {
    db.writeIni(
        QStringLiteral("[Access]\nDSN=%1\nUID=0\n[User]\nName=株式会社デモ精工\n").arg(db.path()));
    DemoData::fill(gCon(), Clock::now());
    gEmpCode = QStringLiteral("001");
}
