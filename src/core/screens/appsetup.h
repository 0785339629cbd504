#pragma once

class QApplication;

// Fonts, Japanese texts of the standard dialogs and the application's name;
// called once by main and by every test that shows screens.
void setupApplication(QApplication& app);
