#pragma once

class QWidget;

// At start-up with no TVL.INI in the working folder: goes to the workspace
// used last when it still has its TVL.INI; otherwise offers to create one
// (a folder, a new or an existing database, the company name) and makes it
// the working folder. False when the clerk declined or it failed (the
// login screen then says that TVL.INI is missing).
bool findOrCreateWorkspace(QWidget* parent = nullptr);
