// "Marking On The Fly": marking on the fly, the simulated encoders, the external start, the
// encoder calibration factors and the start delay.
#pragma once

#include <array>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "converter_state.h"
#include "fixed_dialog.h"
#include "fly_dialog.h"
#include "notifier.h"

namespace ondrel {

class TFly : public FixedDialog {
    Q_OBJECT
public:
    TFly(ConverterState& state, Notifier& notifier);

    void FormActivate() override;

    QCheckBox* CheckBox4; // "Enable Marking on the Fly"
    QCheckBox* CheckBox1; // "Simulate Encoder X"
    QCheckBox* CheckBox2; // "Simulate Encoder Y"
    QCheckBox* CheckBox3; // "Use external Start Signal"
    QLineEdit *Edit1, *Edit2, *Edit3; // Kx, Ky, start delay
    QLabel *Label1, *Label2, *Label3;
    QPushButton* Button1; // "Accept"
    QPushButton* Button2; // "Cancel"

private:
    // The four boxes' handlers: a change, from the operator or from code, goes through the
    // box rules, and the window then shows what they leave.
    void BoxClick(FlyBox box, bool checked);
    void ShowBoxes();
    void Button1Click();
    FlyDialogTexts Typed() const;

    ConverterState& state_;
    Notifier& notifier_;
    FlyBoxes boxes_;
    std::array<QCheckBox*, 4> box_widgets_{}; // by FlyBox
    std::array<QLineEdit*, kFlyEditCount> edits_{}; // by FlyEdit
};

} // namespace ondrel
