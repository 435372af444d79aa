#include "laser_window.h"

#include <algorithm>

#include <QGridLayout>
#include <QVBoxLayout>

#include "parameter_dialog_parts.h"

namespace ondrel {

TLaser::TLaser(ConverterState& state, Notifier& notifier)
    : FixedDialog("Laser - Parameter"), state_(state), notifier_(notifier) {
    Edit1 = NumberEdit("[0...8000]");
    Edit2 = NumberEdit("[0...8000]");
    Edit3 = NumberEdit("[1...15000]");
    Edit4 = NumberEdit("[0.25...8000]");
    Edit5 = NumberEdit("[0.25...8000]");
    Edit6 = NumberEdit("[0...8000]");
    Edit7 = NumberEdit("[0...100]");
    Edit8 = NumberEdit("[0...65000]");
    Edit9 = NumberEdit("[0...255]");
    edits_ = {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9};
    Label5 = new QLabel("Laser2 Pulse Width [µs]:");
    Label6 = new QLabel("FirstPulseKillerLength [µs]:");
    Button1 = new QPushButton("Accept");
    Button2 = new QPushButton("Cancel");

    QGroupBox* laserSignal =
        FieldGroup("Laser-Signal", {{"Output Period [µs]:", Edit3}, {"Laser1 Pulse Width [µs]:", Edit4}});
    auto* laserLayout = static_cast<QFormLayout*>(laserSignal->layout());
    laserLayout->addRow(Label5, Edit5);
    laserLayout->addRow(Label6, Edit6);

    // Three columns, filled top to bottom.
    auto* mode = new QGroupBox("Laser-Mode");
    auto* modeLayout = new QGridLayout(mode);
    RadioGroup1 = new QButtonGroup(this);
    for (int item = 0; item < static_cast<int>(ModeItems.size()); ++item) {
        ModeItems[item] = new QRadioButton(kLaserModeItems[item]);
        RadioGroup1->addButton(ModeItems[item], item);
        modeLayout->addWidget(ModeItems[item], item % 2, item / 2);
    }

    auto* left = new QVBoxLayout;
    left->addWidget(laserSignal);
    left->addWidget(FieldGroup("Stand-By-Signal",
                               {{"Stand-By-Period [µs]:", Edit1}, {"Stand-By-Pulse-Width [µs]:", Edit2}}));
    auto* right = new QVBoxLayout;
    right->addWidget(mode);
    right->addWidget(FieldGroup("Analog/Digital Output", {{"Output-Voltage [%]:", Edit7},
                                                          {"Lamp Delay  [ms]", Edit8},
                                                          {"8 Bit Port [0..255]:", Edit9}}));
    right->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(ButtonRow(Button2, Button1));
    FixSize();

    // The left column top to bottom, then the right one.
    ChainTabOrder({Edit3, Edit4, Edit5, Edit6, Edit1, Edit2, ModeItems[0], ModeItems[1], ModeItems[2], ModeItems[3],
                   ModeItems[4], Edit7, Edit8, Edit9, Button2, Button1});

    connect(RadioGroup1, &QButtonGroup::idClicked, this,
            [this](int item) { GuardedIn(this, notifier_, [this, item] { RadioGroup1Click(item); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { GuardedIn(this, notifier_, [this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::hide);
    FormActivate();
}

void TLaser::RadioGroup1Click(int mode) {
    const LaserModeEnabling enabling = EnablingForMode(static_cast<std::uint16_t>(mode));
    Label5->setEnabled(enabling.Laser2PulseWidth);
    Edit5->setEnabled(enabling.Laser2PulseWidth);
    Label6->setEnabled(enabling.FirstPulseKillerLength);
    Edit6->setEnabled(enabling.FirstPulseKillerLength);
}

void TLaser::FormActivate() {
    GuardedIn(this, notifier_, [this] {
        const LaserDialogTexts texts = FillLaserDialog(state_.parameters);
        if (QAbstractButton* item = RadioGroup1->button(texts.Mode)) item->setChecked(true);
        RadioGroup1Click(texts.Mode);
        for (std::size_t i = 0; i < kLaserEditCount; ++i)
            edits_[i]->setText(QString::fromStdString(texts.edits.texts[i]));
    });
}

LaserDialogTexts TLaser::Typed() const {
    LaserDialogTexts texts;
    texts.Mode = static_cast<std::uint16_t>(std::max(RadioGroup1->checkedId(), 0));
    for (std::size_t i = 0; i < kLaserEditCount; ++i) texts.edits.texts[i] = edits_[i]->text().toStdString();
    return texts;
}

void TLaser::Button1Click() {
    ShowAcceptResult(AcceptLaserDialog(Typed(), state_.parameters, notifier_), edits_, *this);
}

} // namespace ondrel
