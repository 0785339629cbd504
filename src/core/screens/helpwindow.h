#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QTextBrowser;

// The manual in a window of the program's own: the HTML in a text browser,
// opened at a section, with a find box (Enter finds the next place, from
// the top again after the last).
class HelpWindow : public QDialog {
    Q_OBJECT
  public:
    HelpWindow(QWidget* parent, const QString& file, const QString& section);

    // The section it was opened at ("" for the beginning).
    const QString& section() const { return m_section; }
    // Whether the shown manual holds this section.
    bool hasSection(const QString& section) const;
    // Finds the next place of the text; false when there is none.
    bool findNext(const QString& text);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    const QString m_section;
    QTextBrowser* m_browser;
    QLineEdit* m_find;
    QLabel* m_findResult;
};
