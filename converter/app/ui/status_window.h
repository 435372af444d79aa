// "System Status": versions, options, serial number and correction file, filled each time the
// window becomes active, and the status of scan head 1, renewed every 500 ms while it is open.
#pragma once

#include <QLabel>
#include <QPushButton>

#include "converter_state.h"
#include "polling_dialog.h"
#include "quarnel_library.h"
#include "system_status.h"

namespace ondrel {

class TStatus : public PollingDialog {
    Q_OBJECT
public:
    TStatus(const ConverterState& state, QuarnelLibrary& library, Notifier& notifier);

    void FormActivate() override;
    void Timer1Timer() override;

    QLabel *L1, *L2, *L3, *L4, *L5, *L6, *L7, *L8, *L9, *L10, *L11;
    QPushButton* Button1; // "Close"

private:
    void ShowLabels();
    // L11 and the window's width to fit it.
    void ShowCorrectionFile(const QString& name);

    const ConverterState& state_;
    QuarnelLibrary& library_;
    StatusLabels labels_;
    QString correction_shown_ = "?"; // the whole name L11 stands for
};

} // namespace ondrel
