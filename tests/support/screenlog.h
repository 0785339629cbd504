#pragma once

#include "core/screens/messagebox.h"
#include "support/golden.h"
#include "support/guitest.h"

#include <QStringList>
#include <functional>

// Transcripts of what the clerk sees, compared with one golden file per scenario.
namespace ScreenLog {

// The messages shown since the last call, each as "[icon buttons] text" on
// one line; `text` may rewrite a message's words (a server's own differ).
inline QStringList messages(const std::function<QString(const QString&)>& text = {}) {
    const char* icons[] = {"-", "!", "x", "?", "i"};
    const char* buttons[] = {"Ok", "OkCancel", "YesNo", "YesNoCancel", "OkCancel/Cancel"};
    QStringList out;
    for (const MessageBox::Shown& s : MessageBox::shown())
        out << QStringLiteral("[%1 %2] %3")
                   .arg(icons[int(s.icon)], buttons[int(s.buttons)], text ? text(s.text) : s.text)
                   .replace('\n', ' ');
    MessageBox::clearShown();
    return out;
}

inline QString seen() {
    const QStringList out = messages();
    return out.isEmpty() ? "no message" : out.join(" / ");
}

// The texts of the named boxes as "name=text".
inline QString boxes(QWidget* form, const QStringList& names) {
    QStringList out;
    for (const QString& name : names)
        out << name + "=" + GuiTest::box(form, name)->text();
    return out.join(' ');
}

inline QString differs(const QString& name, const QStringList& log) {
    return goldenDifference(name, log.join('\n') + '\n');
}

} // namespace ScreenLog
