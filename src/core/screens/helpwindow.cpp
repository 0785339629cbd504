#include "core/screens/helpwindow.h"

#include "core/screens/fields.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* parent, const QString& file, const QString& section)
    : QDialog(parent), m_section(section), m_browser(new QTextBrowser(this)),
      m_find(new QLineEdit(this)), m_findResult(new QLabel(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("操作説明書"));
    m_browser->setObjectName(QStringLiteral("txtManual"));
    m_browser->setOpenExternalLinks(false);
    m_find->setObjectName(QStringLiteral("txtFind"));
    m_findResult->setObjectName(QStringLiteral("lblFindResult"));

    auto* findLabel = new QLabel(QStringLiteral("検索(&F)"), this);
    findLabel->setBuddy(m_find);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_find, &QLineEdit::returnPressed, this, [this] { findNext(m_find->text()); });

    auto* findRow = new QHBoxLayout;
    findRow->addWidget(findLabel);
    findRow->addWidget(m_find, 1);
    findRow->addWidget(m_findResult, 1);
    findRow->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(findRow);
    layout->addWidget(m_browser, 1);

    setTabOrder(m_find, m_browser);
    setTabOrder(m_browser, close);

    m_browser->setSource(QUrl::fromLocalFile(file));
    resize(960, 680);
    FormCenter(this);
    m_find->setFocus();
}

// Only a laid-out browser knows where the section lies.
void HelpWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_section.isEmpty())
        m_browser->scrollToAnchor(m_section);
}

bool HelpWindow::hasSection(const QString& section) const {
    for (QTextBlock block = m_browser->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorNames().contains(section))
                return true;
    return false;
}

bool HelpWindow::findNext(const QString& text) {
    if (text.isEmpty())
        return false;
    bool found = m_browser->find(text);
    if (!found) {
        m_browser->moveCursor(QTextCursor::Start);
        found = m_browser->find(text);
    }
    m_findResult->setText(found ? QString() : QStringLiteral("「%1」は見つかりません。").arg(text));
    return found;
}
