// tarvel-screenshots [--window] FOLDER: shows every screen of the tour over
// the menu, on the database of TVL.INI in the current folder, and writes the
// whole display (with --window only the screen's window and its frame, as
// the manual shows it) as FOLDER/NN-name.png; what the layout checks find in
// a screen goes to standard error. Started by scripts/screenshots.sh.
#include "screentour.h"

#include "app/frmmenu.h"
#include "core/apperror.h"
#include "core/database.h"
#include "core/screens/appsetup.h"
#include "core/screens/messagebox.h"
#include "core/session.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

namespace {

bool grabDisplay(const QString& path, const QWidget* window) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return false;
    if (window == nullptr)
        return screen->grabWindow(0).save(path, "PNG");
    const QRect frame = window->frameGeometry();
    return screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
        .save(path, "PNG");
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setupApplication(app);
    const bool windowOnly = argc == 3 && QByteArray(argv[1]) == "--window";
    if (argc != 2 && !windowOnly) {
        std::fprintf(stderr, "usage: tarvel-screenshots [--window] FOLDER\n");
        return 2;
    }
    const char* folderArg = argv[argc - 1];
    const QDir folder(QString::fromLocal8Bit(folderArg));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "tarvel-screenshots: cannot make %s\n", folderArg);
        return 1;
    }
    // A message a screen would show is written down instead of waiting for
    // a click that never comes.
    MessageBox::setTestMode(true);
    try {
        DBOpen();
    } catch (const AppError& e) {
        std::fprintf(stderr, "tarvel-screenshots: %s\n", qPrintable(e.text()));
        return 1;
    }
    gEmpCode = QStringLiteral("001"); // the demo's clerk
    FrmMenu menu;
    showAndSettle(&menu);

    int failures = 0;
    int number = 0;
    for (const TourStop& stop : screenTour()) {
        const TourWindow window = stop.open(&menu);
        showAndSettle(window.shown);
        const QString path = folder.filePath(
            QStringLiteral("%1-%2.png").arg(++number, 2, 10, QLatin1Char('0')).arg(stop.name));
        if (!grabDisplay(path, windowOnly ? window.shown : nullptr)) {
            std::fprintf(stderr, "tarvel-screenshots: cannot write %s\n", qPrintable(path));
            ++failures;
        }
        for (const QString& fault : layoutFaults(window.shown))
            std::fprintf(stderr, "%s: %s\n", qPrintable(stop.name), qPrintable(fault));
        for (const MessageBox::Shown& message : MessageBox::shown())
            std::fprintf(stderr, "%s: message 「%s」\n", qPrintable(stop.name),
                         qPrintable(message.text));
        MessageBox::clearShown();
        if (window.shown != &menu)
            window.shown->hide();
    }
    std::printf("tarvel-screenshots: %d screens in %s\n", number,
                qPrintable(folder.absolutePath()));
    return failures == 0 ? 0 : 1;
}
