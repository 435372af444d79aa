// A dialog that polls the board with a 500 ms timer from the moment it becomes active until
// it is closed, also while another window is active or a run pumps the event queue.
#pragma once

#include <QHideEvent>
#include <QTimer>

#include "fixed_dialog.h"
#include "notifier.h"

namespace ondrel {

class PollingDialog : public FixedDialog {
    Q_OBJECT
public:
    PollingDialog(const QString& caption, Notifier& notifier, int intervalMilliseconds)
        : FixedDialog(caption), notifier_(notifier) {
        Timer1 = new QTimer(this);
        Timer1->setInterval(intervalMilliseconds);
        connect(Timer1, &QTimer::timeout, this, [this] { GuardedIn(this, notifier_, [this] { Timer1Timer(); }); });
    }

    QTimer* Timer1;
    // One tick of the timer.
    virtual void Timer1Timer() = 0;

protected:
    // Coming back to the window while the timer runs leaves its ticks where they are: a
    // restart would put the next tick 500 ms off again.
    void StartPolling() {
        if (!Timer1->isActive()) Timer1->start();
    }

    // Every way of closing the window ("Close", the close box, Escape) hides it; a minimised
    // window keeps polling.
    void hideEvent(QHideEvent* event) override {
        if (!event->spontaneous()) Timer1->stop();
        FixedDialog::hideEvent(event);
    }

    Notifier& notifier_;
};

} // namespace ondrel
