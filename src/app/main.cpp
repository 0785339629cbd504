#include "app/frmlogin.h"
#include "core/ini.h"
#include "core/screens/appsetup.h"
#include "workspace/screens/workspacesetup.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool envSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Without a display Qt aborts with a message about platform plugins; say
// plainly what to do instead.
bool displayAvailable(int argc, char** argv) {
    if (envSet("DISPLAY") || envSet("WAYLAND_DISPLAY") || envSet("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (!displayAvailable(argc, argv)) {
        std::fprintf(stderr,
                     "tarvel: no display to show the program on (DISPLAY and "
                     "WAYLAND_DISPLAY are not set).\n"
                     "Start it under a virtual display, for example:\n"
                     "  xvfb-run -a %s\n",
                     argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    setupApplication(app);
    // A TVL.INI that is there but wrong is the login screen's to report.
    if (!QFileInfo::exists(iniFilePath()))
        findOrCreateWorkspace();
    FrmLogin login;
    login.show();
    return app.exec();
}
