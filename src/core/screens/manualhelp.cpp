#include "core/screens/manualhelp.h"

#include "core/screens/helpwindow.h"
#include "core/screens/messagebox.h"

#include <QApplication>
#include <QFileInfo>
#include <QHash>
#include <QKeyEvent>

namespace {

// Screens that share a section (a list and its edit screen) map to it.
const QHash<QString, QString>& sections() {
    static const QHash<QString, QString> table = {
        {QStringLiteral("frmLogin"), QStringLiteral("login")},
        {QStringLiteral("frmNewPassword"), QStringLiteral("login")},
        {QStringLiteral("frmMenu"), QStringLiteral("menu")},
        {QStringLiteral("frmEmpMnt"), QStringLiteral("employees")},
        {QStringLiteral("frmEmpMnt2"), QStringLiteral("employees")},
        {QStringLiteral("frmPNoMnt"), QStringLiteral("drawings")},
        {QStringLiteral("frmPNoMnt2"), QStringLiteral("drawings")},
        {QStringLiteral("frmWorkNoMnt"), QStringLiteral("workcodes")},
        {QStringLiteral("frmWorkNoMnt2"), QStringLiteral("workcodes")},
        {QStringLiteral("frmPersonMnt"), QStringLiteral("homeworkers")},
        {QStringLiteral("frmPersonMnt2"), QStringLiteral("homeworkers")},
        {QStringLiteral("frmWrkPriceMnt"), QStringLiteral("prices")},
        {QStringLiteral("frmWrkPriceMnt2"), QStringLiteral("price-edit")},
        {QStringLiteral("frmProduct"), QStringLiteral("slip-search")},
        {QStringLiteral("frmProduct2"), QStringLiteral("slip-entry")},
        {QStringLiteral("frmDenNouhin"), QStringLiteral("delivery")},
        {QStringLiteral("frmAccount"), QStringLiteral("settlement")},
        {QStringLiteral("frmATest"), QStringLiteral("trial")},
        {QStringLiteral("ReportPreview"), QStringLiteral("reports")},
        {QStringLiteral("frmTransfer"), QStringLiteral("transfer")},
        {QStringLiteral("frmLedger"), QStringLiteral("ledger")},
        {QStringLiteral("frmYearly"), QStringLiteral("yearly")},
    };
    return table;
}

QString sectionOfWindow(const QWidget* window) {
    for (const QWidget* w = window; w != nullptr; w = w->parentWidget()) {
        const QString section = manualSection(w->objectName());
        if (!section.isEmpty())
            return section;
    }
    return QString();
}

class ManualKey : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress ||
            static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1 || !watched->isWidgetType())
            return false;
        QWidget* window = QApplication::activeModalWidget();
        if (window == nullptr)
            window = static_cast<QWidget*>(watched)->window();
        if (qobject_cast<HelpWindow*>(window) != nullptr)
            return true; // already reading it
        openManual(window, sectionOfWindow(window));
        return true;
    }
};

} // namespace

QString manualSection(const QString& screenName) {
    return sections().value(screenName);
}

QString manualFile() {
    const QStringList candidates = {
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/doc/tarvel/manual.html"),
        QStringLiteral(TARVEL_BUILT_MANUAL),
    };
    for (const QString& path : candidates)
        if (QFileInfo(path).isFile())
            return QFileInfo(path).canonicalFilePath();
    return QString();
}

void openManual(QWidget* parent, const QString& section) {
    const QString file = manualFile();
    if (file.isEmpty()) {
        MessageBox::error(parent,
                          QStringLiteral("操作説明書が見つかりません。Tarvelシステムを"
                                         "インストールし直すか、管理者に連絡してください。"));
        return;
    }
    HelpWindow window(parent, file, section);
    window.exec();
}

void installManualKey(QApplication& app) {
    static ManualKey* key = nullptr;
    if (key == nullptr) {
        key = new ManualKey(&app);
        app.installEventFilter(key);
    }
}
