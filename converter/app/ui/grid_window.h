// "Grid": the five values of the calibration grid and "Mark", which marks it on the board.
#pragma once

#include <QLineEdit>
#include <QPushButton>

#include "converter_state.h"
#include "fixed_dialog.h"
#include "grid_dialog.h"
#include "notifier.h"
#include "quarnel_library.h"
#include "run_window.h"

namespace ondrel {

class TGrid : public FixedDialog {
    Q_OBJECT
public:
    TGrid(ConverterState& state, QuarnelLibrary& library, Notifier& notifier);

    // The output window and main window a grid run drives; "Mark" does nothing without one.
    // `output` is the output window itself, which the run's boxes stay on top of.
    void SetRunWindow(RunWindow* run, QWidget* output) {
        run_ = run;
        output_ = output;
    }

    void FormActivate() override;

    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5;
    QPushButton* Button1; // "Cancel"
    QPushButton* Button2; // "Mark"

private:
    void Button2Click();
    GridDialogTexts Typed() const;

    ConverterState& state_;
    QuarnelLibrary& library_;
    Notifier& notifier_;
    RunWindow* run_ = nullptr;
    QWidget* output_ = nullptr;
};

} // namespace ondrel
