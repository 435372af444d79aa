#include "fixed_dialog.h"

#include <QEvent>

namespace ondrel {

FixedDialog::FixedDialog(const QString& caption, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(caption);
    setModal(false);
    setMinimumSize(240, 120);
}

bool FixedDialog::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return QDialog::event(event);
}

void FixedDialog::FixSize() {
    adjustSize();
    setFixedSize(sizeHint());
}

} // namespace ondrel
