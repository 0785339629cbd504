#include "core/screens/appsetup.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QTest>

class TestAppSetup : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { setupApplication(*qApp); }

    void windowsFontNamesResolveToInstalledJapaneseFonts() {
        const QFont appFont = QApplication::font();
        QCOMPARE(QFontInfo(appFont).family(), "IPAPGothic");
        QCOMPARE(QFontInfo(QFont("ＭＳ ゴシック")).family(), "IPAGothic");
        QCOMPARE(QFontInfo(QFont("ＭＳ Ｐ明朝")).family(), "IPAPMincho");
        // The fixed-pitch heading font keeps columns aligned: a full-width
        // character is exactly two half-width ones.
        const QFontMetrics fixed(QFont("ＭＳ ゴシック", 12));
        QCOMPARE(fixed.horizontalAdvance("製"), 2 * fixed.horizontalAdvance("A"));
    }

    void nameAndLocaleAreJapanese() {
        QCOMPARE(QLocale().language(), QLocale::Japanese);
        // Still translated after a second call, as GUI tests make.
        setupApplication(*qApp);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), "キャンセル");
    }
};

QTEST_MAIN(TestAppSetup)
#include "test_appsetup.moc"
