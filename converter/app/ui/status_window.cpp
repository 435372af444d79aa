#include "status_window.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QScreen>
#include <QVBoxLayout>

namespace ondrel {

namespace {

QLabel* ValueLabel(const char* name) {
    auto* label = new QLabel("?");
    label->setObjectName(name);
    return label;
}

QGroupBox* Group(const QString& title, std::initializer_list<std::pair<const char*, QLabel*>> rows) {
    auto* group = new QGroupBox(title);
    auto* form = new QFormLayout(group);
    for (const auto& [caption, label] : rows) form->addRow(caption, label);
    return group;
}

} // namespace

TStatus::TStatus(const ConverterState& state, QuarnelLibrary& library, Notifier& notifier)
    : PollingDialog("System Status", notifier, kStatusPollMilliseconds), state_(state), library_(library) {
    L1 = ValueLabel("L1");
    L2 = ValueLabel("L2");
    L3 = ValueLabel("L3");
    L4 = ValueLabel("L4");
    L5 = ValueLabel("L5");
    L6 = ValueLabel("L6");
    L7 = ValueLabel("L7");
    L8 = ValueLabel("L8");
    L9 = ValueLabel("L9");
    L10 = ValueLabel("L10");
    L11 = ValueLabel("L11");
    // Room for the longest option list; the correction file name widens the window to fit.
    L10->setMinimumWidth(180);
    L11->setMinimumWidth(180);
    Button1 = new QPushButton("Close");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Group("Scan Head", {{"Temperature", L6}, {"Power", L7}, {"X - Position", L8}, {"Y - Position", L9}}));
    layout->addWidget(
        Group("Version", {{"Ondrel-Converter:", L1}, {"Driver-DLL:", L2}, {"Hex-File:", L3}, {"Hardware:", L4}}));
    layout->addWidget(Group("Info", {{"Serial-Number:", L5}, {"Options:", L10}, {"Correction-File:", L11}}));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addStretch();
    layout->addLayout(buttons);
    FixSize();

    connect(Button1, &QPushButton::clicked, this, &QDialog::hide);
}

void TStatus::FormActivate() {
    GuardedIn(this, notifier_, [this] {
        FillStatusLabels(labels_, state_, library_);
        ShowLabels();
    });
    StartPolling();
}

void TStatus::Timer1Timer() {
    RefreshHeadStatus(labels_, library_);
    ShowLabels();
}

void TStatus::ShowLabels() {
    const std::pair<QLabel*, const std::string*> shown[] = {
        {L1, &labels_.L1}, {L2, &labels_.L2}, {L3, &labels_.L3}, {L4, &labels_.L4},
        {L5, &labels_.L5}, {L6, &labels_.L6}, {L7, &labels_.L7}, {L8, &labels_.L8},
        {L9, &labels_.L9}, {L10, &labels_.L10},
    };
    for (const auto& [label, text] : shown) label->setText(QString::fromStdString(*text));
    const QString correction = QString::fromStdString(labels_.L11);
    if (correction != correction_shown_) ShowCorrectionFile(correction);
}

void TStatus::ShowCorrectionFile(const QString& name) {
    correction_shown_ = name;
    L11->setText(name);
    L11->setToolTip(QString());
    FixSize();
    // Wider than the screen can hold: elided in the middle, the whole name in the tool tip.
    const QScreen* screen = this->screen();
    if (!screen) return;
    const int decoration = frameGeometry().width() - width();
    const int room = screen->availableGeometry().width() - decoration - (width() - L11->width());
    if (L11->sizeHint().width() <= room) return;
    L11->setText(L11->fontMetrics().elidedText(name, Qt::ElideMiddle, room - 2 * L11->margin() - 2));
    L11->setToolTip(name);
    FixSize();
}

} // namespace ondrel
