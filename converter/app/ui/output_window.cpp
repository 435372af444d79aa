#include "output_window.h"

#include <algorithm>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include "main_window.h"

namespace ondrel {

TBelichtung::TBelichtung(ConverterState& state, std::function<void()> enableMainWindow)
    : FixedDialog("Quarnel Output"), state_(state), enableMainWindow_(std::move(enableMainWindow)) {
    setFixedSize(292, 143);
    MarkingTimeLabel = new QLabel("Laser active !", this);
    MarkingTimeLabel->setObjectName("MarkingTimeLabel");
    MarkingTimeLabel->setGeometry(0, 16, 292, 23);
    MarkingTimeLabel->setAlignment(Qt::AlignCenter);
    MarkingTimeLabel->setStyleSheet("color: #FF0000");
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setGeometry(16, 56, 260, 20);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    Button1 = new QPushButton("Quit", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(98, 96, 96, 30);
    QFont font = Button1->font();
    font.setPixelSize(13);
    Button1->setFont(font);
    Button1->setDefault(true);
    setFocusProxy(Button1);
    connect(Button1, &QPushButton::clicked, this, &TBelichtung::Button1Click);
}

void TBelichtung::Button1Click() {
    FormClose();
    close();
}

void TBelichtung::FormClose() {
    state_.StopRequested = 1;
    if (enableMainWindow_) enableMainWindow_();
}

void TBelichtung::closeEvent(QCloseEvent* event) {
    FormClose();
    FixedDialog::closeEvent(event);
}

void TBelichtung::reject() {
    FormClose();
    FixedDialog::reject();
}

void OutputRunWindow::SetLabel(const std::string& text) {
    output_.MarkingTimeLabel->setText(QString::fromStdString(text));
}

void OutputRunWindow::SetLabelStyle(RunLabelStyle style) {
    QFont font = output_.MarkingTimeLabel->font();
    const bool active = style == RunLabelStyle::Active;
    font.setPointSize(active ? 14 : 10);
    output_.MarkingTimeLabel->setFont(font);
    output_.MarkingTimeLabel->setStyleSheet(active ? "color: #FF0000" : "color: #000000");
}

void OutputRunWindow::SetButtonCaption(const std::string& caption) {
    output_.Button1->setText(QString::fromStdString(caption));
}

void OutputRunWindow::SetProgress(int percent) { output_.ProgressBar->setValue(std::clamp(percent, 0, 100)); }

void OutputRunWindow::ShowOutput() {
    output_.show();
    output_.raise();
    output_.activateWindow();
    output_.Button1->setFocus();
}

void OutputRunWindow::CloseOutput() { output_.close(); }

void OutputRunWindow::Pump() { QCoreApplication::processEvents(); }

// The board is busy: the events first, then a millisecond's rest so that the wait leaves
// the processor idle.
void OutputRunWindow::WaitPump() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    QThread::msleep(1);
}

void OutputRunWindow::DisableMainWindow() { main_.SetBusy(true); }

bool OutputRunWindow::ShowLimitsChecked() const { return main_.ShowLimitsChecked(); }

void OutputRunWindow::UncheckShowLimits() { main_.SetShowLimits(false); }

void OutputRunWindow::RedrawView() { main_.DrawView(); }

} // namespace ondrel
