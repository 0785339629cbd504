#include "app/frmmenu.h"
#include "core/screens/appsetup.h"
#include "core/screens/helpwindow.h"
#include "core/screens/manualhelp.h"
#include "core/screens/messagebox.h"
#include "screentour.h"
#include "support/testdatabase.h"
#include "tourdatabase.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTimer>

namespace {

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The names a shown window answers to: its object name and its classes.
QSet<QString> namesOf(const QWidget* window) {
    QSet<QString> names = {window->objectName()};
    for (const QMetaObject* m = window->metaObject(); m != nullptr; m = m->superClass())
        names.insert(QString::fromLatin1(m->className()));
    return names;
}

// The section F1 opens on the window ("" when no help window opened).
QString sectionOpenedByF1(QWidget* window) {
    QString opened;
    QTimer::singleShot(0, window, [&opened] {
        if (auto* help = qobject_cast<HelpWindow*>(QApplication::activeModalWidget())) {
            opened = help->hasSection(help->section()) ? help->section() : QStringLiteral("?");
            help->reject();
        }
    });
    QWidget* target = window->focusWidget() != nullptr ? window->focusWidget() : window;
    QTest::keyClick(target, Qt::Key_F1);
    QApplication::processEvents();
    return opened;
}

} // namespace

// The manual as the program opens it, and the screens it shows.
class TestManual : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        setupApplication(*qApp);
        MessageBox::setTestMode(true);
        QVERIFY2(!manualFile().isEmpty(), "the manual is not built");
    }

    // F1 on each screen of the tour opens a section the manual has; the
    // tour shows every form of the program, and every picture of the
    // manual is one of its stops.
    void everyScreenHasItsSection() {
        TestDatabase db;
        fillTourDatabase(db);
        FrmMenu menu;
        showAndSettle(&menu);
        QStringList faults;
        QSet<QString> shown, stops;
        for (const TourStop& stop : screenTour()) {
            stops.insert(stop.name);
            const TourWindow window = stop.open(&menu);
            showAndSettle(window.shown);
            shown += namesOf(window.shown);
            const QString section = sectionOpenedByF1(window.shown);
            if (section.isEmpty() || section == QLatin1String("?"))
                faults << QStringLiteral("F1 on %1 (%2) opens %3")
                              .arg(stop.name, window.shown->objectName(), section);
            if (window.shown != &menu)
                window.shown->hide();
        }
        QDirIterator forms(QStringLiteral(TARVEL_SOURCE_DIR "/src"), {QStringLiteral("*.ui")},
                           QDir::Files, QDirIterator::Subdirectories);
        static const QRegularExpression topWidget(
            QStringLiteral("<widget class=\"\\w+\" name=\"(\\w+)\""));
        while (forms.hasNext()) {
            const QString form = topWidget.match(readText(forms.next())).captured(1);
            if (!shown.contains(form))
                faults << QStringLiteral("the tour lacks the screen %1").arg(form);
        }
        for (const QString& picture : QDir(QStringLiteral(TARVEL_SOURCE_DIR "/docs/manual/images"))
                                          .entryList({QStringLiteral("*.png")}))
            if (!stops.contains(QFileInfo(picture).completeBaseName()))
                faults << QStringLiteral("no stop of the tour takes %1").arg(picture);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // Every picture and file the manual links exists, every section a link
    // names is there, and nothing leads out of the manual.
    void everyLinkAndPictureExists() {
        const QString file = manualFile();
        const QString html = readText(file);
        QSet<QString> ids;
        static const QRegularExpression id(QStringLiteral(" id=\"([^\"]+)\""));
        for (const QRegularExpressionMatch& m : id.globalMatch(html))
            ids.insert(m.captured(1));
        QStringList faults;
        static const QRegularExpression target(QStringLiteral(" (?:src|href)=\"([^\"]+)\""));
        for (const QRegularExpressionMatch& m : target.globalMatch(html)) {
            const QString link = m.captured(1);
            if (link.startsWith(QLatin1Char('#'))) {
                if (!ids.contains(link.mid(1)))
                    faults << QStringLiteral("no section %1").arg(link);
            } else if (link.contains(QLatin1Char(':')) ||
                       !QFileInfo(QFileInfo(file).dir(), link).isFile()) {
                faults << QStringLiteral("no file %1").arg(link);
            }
        }
        QVERIFY(html.count(QStringLiteral("src=\"images/")) > 20);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestManual)
#include "test_manual.moc"
