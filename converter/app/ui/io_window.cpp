#include "io_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace ondrel {

namespace {

// Two columns of eight boxes, "Bit 0" to "Bit 15", named from `firstNumber` on.
QGroupBox* BitGroup(const QString& title, std::array<QCheckBox*, kIoLines>& boxes, int firstNumber) {
    auto* group = new QGroupBox(title);
    auto* grid = new QGridLayout(group);
    for (int bit = 0; bit < kIoLines; ++bit) {
        auto* box = new QCheckBox(QString("Bit %1").arg(bit));
        box->setObjectName(QString("CheckBox%1").arg(firstNumber + bit));
        grid->addWidget(box, bit % 8, bit / 8);
        boxes[static_cast<std::size_t>(bit)] = box;
    }
    return group;
}

} // namespace

TIOCard::TIOCard(QuarnelLibrary& library, Notifier& notifier)
    : PollingDialog("Quarnel IO-Interface", notifier, kIoPollMilliseconds), library_(library) {
    QGroupBox* outputs = BitGroup("Digital Output", Outputs, 1);
    QGroupBox* inputs = BitGroup("Digital Input", Inputs, kIoLines + 1);
    for (QCheckBox* box : Inputs) box->setEnabled(false);
    Button1 = new QPushButton("Close");

    auto* groups = new QHBoxLayout;
    groups->addWidget(outputs);
    groups->addWidget(inputs);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    FixSize();

    // One handler for every change of any output box, from the operator or from code.
    for (QCheckBox* box : Outputs)
        connect(box, &QCheckBox::toggled, this, [this] { GuardedIn(this, notifier_, [this] { CheckBox1Click(); }); });
    connect(Button1, &QPushButton::clicked, this, &QDialog::hide);
}

void TIOCard::FormActivate() { StartPolling(); }

void TIOCard::CheckBox1Click() {
    IoLines checked{};
    for (int bit = 0; bit < kIoLines; ++bit)
        checked[static_cast<std::size_t>(bit)] = Outputs[static_cast<std::size_t>(bit)]->isChecked();
    if (WriteOutputs(checked, library_)) {
        written_ = checked;
        return;
    }
    // The board did not take the word: the boxes go back to the one it has, without writing.
    for (int bit = 0; bit < kIoLines; ++bit) {
        QCheckBox* box = Outputs[static_cast<std::size_t>(bit)];
        const QSignalBlocker quiet(box);
        box->setChecked(written_[static_cast<std::size_t>(bit)]);
    }
}

void TIOCard::Timer1Timer() {
    const IoLines lines = ReadInputs(library_);
    for (int bit = 0; bit < kIoLines; ++bit)
        Inputs[static_cast<std::size_t>(bit)]->setChecked(lines[static_cast<std::size_t>(bit)]);
}

} // namespace ondrel
