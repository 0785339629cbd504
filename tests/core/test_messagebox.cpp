#include "core/screens/appsetup.h"
#include "core/screens/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Runs `answer` on the message box once it is up.
void answerRealBox(const std::function<void(QMessageBox*)>& answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        timer->stop();
        timer->deleteLater();
        answer(box);
    });
    timer->start();
}

} // namespace

class TestMessageBox : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { setupApplication(*qApp); }

    void testModeRecordsMessagesAndAnswersFromTheQueue() {
        using MB = MessageBox;
        MB::setTestMode(true);
        MB::setNextAnswer(MB::Answer::No);
        MB::setNextAnswer(MB::Answer::Cancel);
        QCOMPARE(MB::show(nullptr, "c", MB::Buttons::YesNo), MB::Answer::No);
        QCOMPARE(MB::show(nullptr, "d", MB::Buttons::OkCancel), MB::Answer::Cancel);
        // The queue is used up: the first button, i.e. the default one.
        QCOMPARE(MB::show(nullptr, "e", MB::Buttons::YesNoCancel, MB::Icon::Exclamation),
                 MB::Answer::Yes);
        MB::error(nullptr, "no such table: syain_m");
        const QList<MB::Shown> shown = MB::shown();
        QCOMPARE(shown.size(), 4);
        QVERIFY(shown[2].text == "e" && shown[2].buttons == MB::Buttons::YesNoCancel &&
                shown[2].icon == MB::Icon::Exclamation);
        QVERIFY(shown[3].text == "no such table: syain_m" && shown[3].buttons == MB::Buttons::Ok &&
                shown[3].icon == MB::Icon::None);
        MB::clearShown();
        QVERIFY(MB::shown().isEmpty());
        // Switching test mode on again forgets answers left over.
        MB::setNextAnswer(MB::Answer::Cancel);
        MB::setTestMode(true);
        QCOMPARE(MB::show(nullptr, "f", MB::Buttons::OkCancel), MB::Answer::Ok);
    }

    void realBoxHasTitleDefaultButtonIconAndJapaneseButtons() {
        MessageBox::setTestMode(false);
        QString title, yesText, noText;
        bool yesIsDefault = false;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        answerRealBox([&](QMessageBox* box) {
            title = box->windowTitle();
            yesText = box->button(QMessageBox::Yes)->text();
            noText = box->button(QMessageBox::No)->text();
            yesIsDefault = static_cast<QAbstractButton*>(box->defaultButton()) ==
                           box->button(QMessageBox::Yes);
            icon = box->icon();
            box->button(QMessageBox::No)->click();
        });
        const MessageBox::Answer answer =
            MessageBox::show(nullptr, "伝票を印刷しますか", MessageBox::Buttons::YesNo,
                             MessageBox::Icon::Exclamation);
        QCOMPARE(answer, MessageBox::Answer::No);
        QCOMPARE(title, "Tarvelシステム");
        QVERIFY(yesIsDefault);
        QCOMPARE(icon, QMessageBox::Warning);
        QVERIFY2(yesText.contains("はい"), qPrintable(yesText));
        QVERIFY2(noText.contains("いいえ"), qPrintable(noText));

        // Escape on an OK/Cancel question is Cancel.
        answerRealBox([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QCOMPARE(MessageBox::show(nullptr, "削除しますか", MessageBox::Buttons::OkCancel),
                 MessageBox::Answer::Cancel);
    }

    void noOtherSourceUsesQMessageBoxDirectly() {
        const QString srcDir = QStringLiteral(TARVEL_SOURCE_DIR "/src");
        QVERIFY(QFile::exists(srcDir + "/core/screens/messagebox.cpp"));
        QStringList offenders;
        int scanned = 0;
        QDirIterator it(srcDir, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.endsWith("/core/screens/messagebox.cpp"))
                continue;
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            ++scanned;
            if (f.readAll().contains("QMessageBox"))
                offenders << path;
        }
        QVERIFY(scanned > 10);
        QVERIFY2(offenders.isEmpty(), qPrintable(offenders.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestMessageBox)
#include "test_messagebox.moc"
