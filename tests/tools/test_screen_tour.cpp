#include "app/frmmenu.h"
#include "core/screens/appsetup.h"
#include "core/screens/messagebox.h"
#include "screentour.h"
#include "support/testdatabase.h"
#include "tourdatabase.h"

#include <QApplication>
#include <QDialog>
#include <QTest>

// Every screen of the tour on the demo data, as the screenshots show it.
class TestScreenTour : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        setupApplication(*qApp);
        MessageBox::setTestMode(true);
    }

    // Nothing drawn over anything, no label's text and no value of a list
    // cut off, on any screen.
    void noScreenHidesWhatItShows() {
        TestDatabase db;
        fillTourDatabase(db);
        FrmMenu menu;
        showAndSettle(&menu);
        QStringList faults;
        for (const TourStop& stop : screenTour()) {
            const TourWindow window = stop.open(&menu);
            showAndSettle(window.shown);
            faults << layoutFaults(window.shown);
            if (window.shown != &menu)
                window.shown->hide();
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // A window that does not fit the display with its frame (here the
    // usual one, 8 wide and 34 tall) is named: the home-worker edit screen
    // was once 19 pixels too tall.
    void aWindowLargerThanTheDisplayIsNamed() {
        const std::pair<QSize, QString> cases[] = {
            {{1358, 734}, ""},
            {{1358, 753},
             "QDialog: the window needs 1366×787 with its frame, the display has 1366×768"},
            {{1359, 400},
             "QDialog: the window needs 1367×434 with its frame, the display has 1366×768"}};
        for (const auto& [inside, fault] : cases) {
            QDialog window;
            window.setFixedSize(inside);
            showAndSettle(&window);
            QCOMPARE(layoutFaults(&window).join('\n'), fault);
        }
    }
};

QTEST_MAIN(TestScreenTour)
#include "test_screen_tour.moc"
