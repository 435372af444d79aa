#include "fixed_dialog.h"

#include <QEvent>
#include <QCoreApplication>

namespace ondrel {

namespace {

const QSize kSmallest(240, 120);

} // namespace

FixedDialog::FixedDialog(const QString& caption, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(caption);
    setModal(false);
    setMinimumSize(kSmallest);
}

bool FixedDialog::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return QDialog::event(event);
}

void FixedDialog::FixSize() {
    // Free again first, so that the window can also grow or shrink to new texts.
    setMinimumSize(kSmallest);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // New texts have only asked for new layouts so far.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    adjustSize();
    setFixedSize(sizeHint());
}

} // namespace ondrel
