// "Marking Parameter": speeds, laser and scanner delays, wobble, scans and the laser-on shift.
#pragma once

#include <array>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "converter_state.h"
#include "fixed_dialog.h"
#include "marking_dialog.h"
#include "notifier.h"

namespace ondrel {

class TMarking : public FixedDialog {
    Q_OBJECT
public:
    TMarking(ConverterState& state, Notifier& notifier);

    void FormActivate() override;

    QLineEdit *Edit1, *Edit2;                         // jump and mark speed
    QLineEdit *Edit3, *Edit4;                         // laser-on and laser-off delay
    QLineEdit *Edit5, *Edit6, *Edit7, *Edit8;         // jump, mark, polygon delay, edge threshold
    QLineEdit *Edit9, *Edit10;                        // wobble frequency and amplitude
    QLineEdit *Edit11, *Edit12;                       // scans, laser-on shift
    QLineEdit *Edit13, *Edit14;                       // minimum jump delay, jump length limit
    QCheckBox* CheckBox1; // "variable Polygon Delay"
    QCheckBox* CheckBox2; // "Move Z-axis direct to the Endposition during 3D-Jumps"
    QLabel* Label13;      // which polygon table the board uses
    QPushButton* Button1; // "Accept"
    QPushButton* Button2; // "Cancel"

private:
    void Button1Click();
    void Show(const MarkingDialogTexts& texts);
    MarkingDialogTexts Typed() const;

    ConverterState& state_;
    Notifier& notifier_;
    std::array<QLineEdit*, kMarkingEditCount> edits_{}; // by MarkingEdit
};

} // namespace ondrel
