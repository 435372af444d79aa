// Looks into a dialog as the operator sees it: the texts of its labels and frames, and the
// order in which Tab walks its controls.
#pragma once

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QStringList>
#include <QWidget>

namespace ondrel::fakes {

// The label, frame and button texts of the window.
inline QStringList CaptionsOf(const QWidget& window) {
    QStringList texts;
    for (const QLabel* label : window.findChildren<QLabel*>()) texts << label->text();
    for (const QGroupBox* group : window.findChildren<QGroupBox*>()) texts << group->title();
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) texts << button->text();
    return texts;
}

// The controls Tab reaches from `first` on, `first` included, until it comes back to it.
inline std::vector<QWidget*> TabChain(QWidget* first) {
    std::vector<QWidget*> chain{first};
    for (QWidget* w = first->nextInFocusChain(); w != first; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus) chain.push_back(w);
    return chain;
}

// The window becomes the active window, as when the operator comes back to it.
inline void Activate(QWidget& window) {
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&window, &activate);
}

} // namespace ondrel::fakes
