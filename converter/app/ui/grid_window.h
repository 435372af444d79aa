// "Grid": the five values of the calibration grid and "Mark", which marks it on the board.
#pragma once

#include <QLineEdit>
#include <QPushButton>

#include "converter_state.h"
#include "fixed_dialog.h"
#include "grid_dialog.h"
#include "notifier.h"
#include "shared_board.h"
#include "run_window.h"

namespace ondrel {

class TGrid : public FixedDialog {
    Q_OBJECT
public:
    TGrid(ConverterState& state, SharedBoard& library, Notifier& notifier);

    // The output window and main window a grid run drives; "Mark" does nothing without one.
    // `output` is the output window itself, which the run's boxes stay on top of.
    // The output window a run shows, and the main window, which takes the boxes of a run
    // once the output window and this one are gone.
    void SetRunWindow(RunWindow* run, QWidget* output, QWidget* main) {
        run_ = run;
        output_ = output;
        main_ = main;
    }

    void FormActivate() override;

    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5;
    QPushButton* Button1; // "Cancel"
    QPushButton* Button2; // "Mark"

private:
    void Button2Click();
    GridDialogTexts Typed() const;

    ConverterState& state_;
    SharedBoard& library_;
    Notifier& notifier_;
    RunWindow* run_ = nullptr;
    QWidget* output_ = nullptr;
    QWidget* main_ = nullptr;
};

} // namespace ondrel
