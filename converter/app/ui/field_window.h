// "Marking Field": gain, offsets, mirroring and the Z plane of the drawing.
#pragma once

#include <functional>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "converter_state.h"
#include "field_dialog.h"
#include "fixed_dialog.h"
#include "notifier.h"

namespace ondrel {

class TField : public FixedDialog {
    Q_OBJECT
public:
    // `refreshView` redraws the main window's view after an accepted change.
    TField(ConverterState& state, Notifier& notifier, std::function<void()> refreshView);

    void FormActivate() override;

    QLineEdit* Edit1; // gain [%]
    QLineEdit* Edit2; // x offset [%]
    QLineEdit* Edit3; // y offset [%]
    QLineEdit* Edit4; // z position [mm]
    QLabel* Label6;   // calibration factor
    QCheckBox* CheckBox1; // "X - Invert"
    QCheckBox* CheckBox2; // "Y - Invert"
    QCheckBox* CheckBox3; // "XY - Flip"
    QPushButton* Button1; // "Accept"
    QPushButton* Button2; // "Cancel"

private:
    void Button1Click();
    void CheckBox3Click(bool ticked);
    FieldDialogTexts Typed() const;

    ConverterState& state_;
    Notifier& notifier_;
    std::function<void()> refresh_view_;
    FieldDialogTexts shown_; // what FormActivate put into the fields
};

} // namespace ondrel
