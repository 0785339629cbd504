#include "core/screens/messagebox.h"

#include "core/phrasewrap.h"

#include <QMessageBox>
#include <QPushButton>
#include <QQueue>
#include <QWidget>

namespace {

const QString kTitle = QStringLiteral("Tarvelシステム");
constexpr int kLineBytes = 72; // 36 full-width characters of the box's font

struct TestState {
    bool on = false;
    QQueue<MessageBox::Answer> answers;
    QList<MessageBox::Shown> shown;
};

TestState& testState() {
    static TestState state;
    return state;
}

QList<MessageBox::Answer> answersOf(MessageBox::Buttons buttons) {
    using A = MessageBox::Answer;
    switch (buttons) {
    case MessageBox::Buttons::Ok:
        return {A::Ok};
    case MessageBox::Buttons::OkCancel:
    case MessageBox::Buttons::OkCancelDefaultCancel:
        return {A::Ok, A::Cancel};
    case MessageBox::Buttons::YesNo:
        return {A::Yes, A::No};
    case MessageBox::Buttons::YesNoCancel:
        return {A::Yes, A::No, A::Cancel};
    }
    return {A::Ok};
}

MessageBox::Answer defaultOf(MessageBox::Buttons buttons) {
    return buttons == MessageBox::Buttons::OkCancelDefaultCancel ? MessageBox::Answer::Cancel
                                                                 : answersOf(buttons).first();
}

QMessageBox::StandardButton standardButton(MessageBox::Answer answer) {
    switch (answer) {
    case MessageBox::Answer::Ok:
        return QMessageBox::Ok;
    case MessageBox::Answer::Cancel:
        return QMessageBox::Cancel;
    case MessageBox::Answer::Yes:
        return QMessageBox::Yes;
    case MessageBox::Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon standardIcon(MessageBox::Icon icon) {
    switch (icon) {
    case MessageBox::Icon::None:
        return QMessageBox::NoIcon;
    case MessageBox::Icon::Exclamation:
        return QMessageBox::Warning;
    case MessageBox::Icon::Critical:
        return QMessageBox::Critical;
    case MessageBox::Icon::Question:
        return QMessageBox::Question;
    case MessageBox::Icon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

MessageBox::Answer answerInTestMode(const QString& text, MessageBox::Buttons buttons,
                                    MessageBox::Icon icon) {
    TestState& state = testState();
    state.shown.append({text, buttons, icon});
    const QList<MessageBox::Answer> offered = answersOf(buttons);
    if (state.answers.isEmpty())
        return defaultOf(buttons);
    const MessageBox::Answer answer = state.answers.dequeue();
    // A queued answer the box cannot give is a broken test, not a user choice.
    if (!offered.contains(answer))
        qFatal("MessageBox: queued answer is not one of the buttons of \"%s\"", qPrintable(text));
    return answer;
}

MessageBox::Answer answerFromDialog(QWidget* parent, const QString& text,
                                    MessageBox::Buttons buttons, MessageBox::Icon icon) {
    QMessageBox box(parent);
    box.setWindowTitle(kTitle);
    // The box wraps lines near 500 pixels, between any two kanji.
    box.setText(wrapAtPhrases(text, kLineBytes));
    box.setIcon(standardIcon(icon));
    const QList<MessageBox::Answer> offered = answersOf(buttons);
    QMessageBox::StandardButtons standard;
    for (MessageBox::Answer a : offered)
        standard |= standardButton(a);
    box.setStandardButtons(standard);
    box.setDefaultButton(standardButton(defaultOf(buttons)));
    // Escape answers Cancel where there is one and OK on a lone OK; a
    // Yes/No question has to be answered.
    if (offered.contains(MessageBox::Answer::Cancel))
        box.setEscapeButton(QMessageBox::Cancel);
    else if (buttons == MessageBox::Buttons::Ok)
        box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (MessageBox::Answer a : offered) {
        if (clicked == box.button(standardButton(a)))
            return a;
    }
    // Closed without a button: the safest answer the box offers.
    if (offered.contains(MessageBox::Answer::Cancel))
        return MessageBox::Answer::Cancel;
    if (offered.contains(MessageBox::Answer::No))
        return MessageBox::Answer::No;
    return MessageBox::Answer::Ok;
}

} // namespace

MessageBox::Answer MessageBox::show(QWidget* parent, const QString& text, Buttons buttons,
                                    Icon icon) {
    if (testState().on)
        return answerInTestMode(text, buttons, icon);
    return answerFromDialog(parent, text, buttons, icon);
}

void MessageBox::error(QWidget* parent, const QString& text) {
    show(parent, text, Buttons::Ok, Icon::None);
}

void MessageBox::setTestMode(bool on) {
    TestState& state = testState();
    state.on = on;
    state.answers.clear();
    state.shown.clear();
}

void MessageBox::setNextAnswer(Answer answer) {
    testState().answers.enqueue(answer);
}

QList<MessageBox::Shown> MessageBox::shown() {
    return testState().shown;
}

void MessageBox::clearShown() {
    testState().shown.clear();
}
