// "Quarnel Output": what a marking or grid run is doing, its progress and, at the end, the
// marking time. Its one button stops a run or dismisses the result; closing the window in any
// way asks a run to stop and gives the main window back its input.
#pragma once

#include <functional>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "converter_state.h"
#include "fixed_dialog.h"
#include "run_window.h"

namespace ondrel {

class TForm1;

class TBelichtung : public FixedDialog {
    Q_OBJECT
public:
    TBelichtung(ConverterState& state, std::function<void()> enableMainWindow);

    QLabel* MarkingTimeLabel;
    QPushButton* Button1;
    QProgressBar* ProgressBar;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override; // Escape closes as the close box does

private:
    void Button1Click();
    void FormClose();

    ConverterState& state_;
    std::function<void()> enableMainWindow_;
};

// The runs' view of the output window and the main window.
class OutputRunWindow final : public RunWindow {
public:
    OutputRunWindow(TBelichtung& output, TForm1& main) : output_(output), main_(main) {}

    void SetLabel(const std::string& text) override;
    void SetLabelStyle(RunLabelStyle style) override;
    void SetButtonCaption(const std::string& caption) override;
    void SetProgress(int percent) override;
    void ShowOutput() override;
    void CloseOutput() override;
    void Pump() override;
    void WaitPump() override;
    void DisableMainWindow() override;
    bool ShowLimitsChecked() const override;
    void UncheckShowLimits() override;
    void RedrawView() override;

private:
    TBelichtung& output_;
    TForm1& main_;
};

} // namespace ondrel
