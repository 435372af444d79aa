#include "optimum_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QShowEvent>

namespace ondrel {

TOptimum::TOptimum(Notifier& notifier) : FixedDialog("Vector Optimizer"), notifier_(notifier) {
    setFixedSize(364, 109);
    Label1 = new QLabel("Vector Optimizer", this);
    Label1->setGeometry(0, 0, 364, 29);
    Label1->setAlignment(Qt::AlignCenter);
    QFont big = Label1->font();
    big.setPixelSize(18);
    Label1->setFont(big);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(9, 41, 344, 24);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Abort = new QPushButton("Abort", this);
    Abort->setGeometry(133, 74, 97, 28);
    connect(Abort, &QPushButton::clicked, this, &TOptimum::AbortClick);
}

void TOptimum::SetCaption(std::string_view caption) {
    Label1->setText(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
}

void TOptimum::SetMaximum(int maximum) { ProgressBar1->setMaximum(maximum); }

void TOptimum::SetPosition(int position) { ProgressBar1->setValue(position); }

bool TOptimum::PumpEvents() {
    QCoreApplication::processEvents();
    return aborted_;
}

void TOptimum::ClearAbort() { aborted_ = false; }

void TOptimum::Close() {
    aborted_ = true;
    close();
}

void TOptimum::ShowError(std::string_view message) {
    notifier_.Show(MessageKind::Error, std::string(message));
}

void TOptimum::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        Label1->setText("Vector Optimizer");
        ProgressBar1->setValue(0);
    }
    FixedDialog::showEvent(event);
}

void TOptimum::closeEvent(QCloseEvent* event) {
    aborted_ = true;
    FixedDialog::closeEvent(event);
}

void TOptimum::reject() {
    aborted_ = true;
    FixedDialog::reject();
}

void TOptimum::AbortClick() { close(); }

} // namespace ondrel
