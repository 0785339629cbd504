#pragma once

#include <QList>
#include <QString>

class QWidget;

// Every message of the program goes through here: title "Tarvelシステム",
// the first button as default (Cancel for OkCancelDefaultCancel, a question
// whose OK would do something the clerk may not expect). Tests queue answers with setNextAnswer and
// read back what was shown; in test mode nothing is ever displayed.
class MessageBox {
  public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, OkCancelDefaultCancel };
    enum class Icon { None, Exclamation, Critical, Question, Information };
    enum class Answer { Ok, Cancel, Yes, No };

    struct Shown {
        QString text;
        Buttons buttons;
        Icon icon;
    };

    static Answer show(QWidget* parent, const QString& text, Buttons buttons = Buttons::Ok,
                       Icon icon = Icon::None);
    // The standard error box: the error's own text, OK only.
    static void error(QWidget* parent, const QString& text);

    // --- for tests ---
    // In test mode no window opens: each message takes the next queued
    // answer, or the default button when the queue is empty.
    static void setTestMode(bool on);
    static void setNextAnswer(Answer answer);
    static QList<Shown> shown();
    static void clearShown();
};
