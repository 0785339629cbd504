#pragma once

class QWidget;

// Takes the automatic backup of the open database before a settlement or
// cancellation ([Backup] of TVL.INI) under the busy pointer. False, after
// telling the clerk why, when it failed: the run must not start then.
bool backupBeforeRun(QWidget* parent);
