// The converter's dialog windows: top-level, fixed size, on top of its other windows, shown
// without a modal loop and only hidden when closed. They are not children of the main window,
// so disabling the main window during a run leaves them working.
#pragma once

#include <QDialog>

#include "box_owner.h" // the windows' slots run through GuardedIn

namespace ondrel {

class FixedDialog : public QDialog {
    Q_OBJECT
public:
    explicit FixedDialog(const QString& caption, QWidget* parent = nullptr);

    // Called each time the window becomes the active window.
    virtual void FormActivate() {}

protected:
    bool event(QEvent* event) override;
    // Fixes the size after the layout has set it; called again, it fits the window to what
    // its widgets show now.
    void FixSize();
};

} // namespace ondrel
