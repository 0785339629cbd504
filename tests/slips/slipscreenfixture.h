#pragma once

#include "core/screens/messagebox.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

// Controls of the slip screens by objectName, and the messages they showed.
namespace SlipScreens {

template <typename T> T* child(QWidget* form, const QString& name) {
    T* w = form->findChild<T*>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}
inline QLineEdit* box(QWidget* f, const QString& name) {
    return child<QLineEdit>(f, name);
}
inline QComboBox* combo(QWidget* f, const QString& name) {
    return child<QComboBox>(f, name);
}
inline void click(QWidget* f, const QString& name) {
    child<QPushButton>(f, name)->click();
}

// The texts shown since the last call.
inline QStringList shownTexts() {
    QStringList texts;
    for (const MessageBox::Shown& s : MessageBox::shown())
        texts << s.text;
    MessageBox::clearShown();
    return texts;
}

// Runs `act` on the modal screen that the next action opens.
inline void onNextModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        if (QWidget* screen = QApplication::activeModalWidget())
            act(screen);
    });
}

} // namespace SlipScreens
