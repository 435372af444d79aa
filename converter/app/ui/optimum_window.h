// "Vector Optimizer": the optimiser's phase, its progress and the Abort button.
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "fixed_dialog.h"
#include "notifier.h"
#include "optimizer_progress.h"

namespace ondrel {

class TOptimum : public FixedDialog, public OptimizerProgress {
    Q_OBJECT
public:
    explicit TOptimum(Notifier& notifier);

    void SetCaption(std::string_view caption) override;
    void SetMaximum(int maximum) override;
    void SetPosition(int position) override;
    bool PumpEvents() override;
    void ClearAbort() override;
    void Close() override;
    void ShowError(std::string_view message) override;

    bool OptimizerAborted() const { return aborted_; }

    QLabel* Label1;
    QProgressBar* ProgressBar1;
    QPushButton* Abort;

protected:
    // Each showing starts from the window's first caption and an empty bar, so that nothing
    // of the previous run stands behind a refusal's box.
    void showEvent(QShowEvent* event) override;
    // Closing the window in any way asks the optimiser to stop.
    void closeEvent(QCloseEvent* event) override;
    void reject() override; // Escape, the close box and Abort all stop the run

private:
    void AbortClick();

    Notifier& notifier_;
    bool aborted_ = true;
};

} // namespace ondrel
