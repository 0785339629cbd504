#include "core/screens/appsetup.h"

#include "core/screens/focusstyle.h"
#include "core/screens/manualhelp.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void setupApplication(QApplication& app) {
    // The screens name the Windows Japanese fonts; the IPA fonts stand in
    // for them with the same metrics class (proportional or fixed pitch).
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"));
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSize(9);
    QApplication::setFont(font);

    if (dynamic_cast<FocusStyle*>(QApplication::style()) == nullptr)
        QApplication::setStyle(new FocusStyle);

    QApplication::setApplicationName(QStringLiteral("Tarvelシステム"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarvelシステム"));
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));

    installManualKey(app);

    // Only once per application, however often tests call this.
    static QTranslator* translator = nullptr;
    if (translator == nullptr) {
        translator = new QTranslator(&app);
        if (translator->load(QStringLiteral("qtbase_ja"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(translator);
    }
}
