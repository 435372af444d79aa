// "Quarnel IO-Interface": the board's 16 digital outputs as check boxes the operator
// switches, and its 16 digital inputs, refreshed every 500 ms while the window is open.
#pragma once

#include <array>

#include <QCheckBox>
#include <QPushButton>

#include "io_interface.h"
#include "polling_dialog.h"
#include "quarnel_library.h"

namespace ondrel {

class TIOCard : public PollingDialog {
    Q_OBJECT
public:
    TIOCard(QuarnelLibrary& library, Notifier& notifier);

    void FormActivate() override;
    void Timer1Timer() override;

    std::array<QCheckBox*, kIoLines> Outputs; // CheckBox1 .. CheckBox16: "Bit 0" .. "Bit 15"
    std::array<QCheckBox*, kIoLines> Inputs;  // CheckBox17 .. CheckBox32, display only
    QPushButton* Button1;                     // "Close"

private:
    void CheckBox1Click();

    QuarnelLibrary& library_;
    IoLines written_{}; // the output word the board last took
};

} // namespace ondrel
