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
        QCOMPARE(QFontInfo(appFont).family(), QStringLiteral("IPAPGothic"));
        QCOMPARE(QFontInfo(QFont(QStringLiteral("ＭＳ ゴシック"))).family(),
                 QStringLiteral("IPAGothic"));
        QCOMPARE(QFontInfo(QFont(QStringLiteral("ＭＳ Ｐ明朝"))).family(),
                 QStringLiteral("IPAPMincho"));
        // The fixed-pitch heading font keeps columns aligned: a full-width
        // character is exactly two half-width ones.
        const QFontMetrics fixed(QFont(QStringLiteral("ＭＳ ゴシック"), 12));
        QCOMPARE(fixed.horizontalAdvance(QStringLiteral("製")),
                 2 * fixed.horizontalAdvance(QStringLiteral("A")));
    }

    void nameAndLocaleAreJapanese() {
        QCOMPARE(QLocale().language(), QLocale::Japanese);
        // Still translated after a second call, as GUI tests make.
        setupApplication(*qApp);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                 QStringLiteral("キャンセル"));
    }
};

QTEST_MAIN(TestAppSetup)
#include "test_appsetup.moc"
