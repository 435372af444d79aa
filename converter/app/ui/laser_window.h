// "Laser - Parameter": laser mode, laser and stand-by signal, analog output, lamp delay and
// the 8-bit port.
#pragma once

#include <array>

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "converter_state.h"
#include "fixed_dialog.h"
#include "laser_dialog.h"
#include "notifier.h"

namespace ondrel {

class TLaser : public FixedDialog {
    Q_OBJECT
public:
    TLaser(ConverterState& state, Notifier& notifier);

    void FormActivate() override;

    QButtonGroup* RadioGroup1; // "Laser-Mode": item numbers 0 to 4
    std::array<QRadioButton*, 5> ModeItems{};
    QLineEdit *Edit1, *Edit2;        // stand-by period and pulse width
    QLineEdit *Edit3, *Edit4, *Edit5; // output period, laser 1 and laser 2 pulse width
    QLineEdit* Edit6;                // first-pulse killer length
    QLineEdit *Edit7, *Edit8, *Edit9; // output voltage, lamp delay, 8-bit port
    QLabel* Label5;                  // "Laser2 Pulse Width [µs]:"
    QLabel* Label6;                  // "FirstPulseKillerLength [µs]:"
    QPushButton* Button1;            // "Accept"
    QPushButton* Button2;            // "Cancel"

private:
    void RadioGroup1Click(int mode);
    void Button1Click();
    LaserDialogTexts Typed() const;

    ConverterState& state_;
    Notifier& notifier_;
    std::array<QLineEdit*, kLaserEditCount> edits_{}; // by LaserEdit
};

} // namespace ondrel
