#include "fly_window.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "parameter_dialog_parts.h"

namespace ondrel {

TFly::TFly(ConverterState& state, Notifier& notifier)
    : FixedDialog("Marking On The Fly"), state_(state), notifier_(notifier) {
    CheckBox4 = new QCheckBox("Enable Marking on the Fly");
    CheckBox1 = new QCheckBox("Simulate Encoder X");
    CheckBox2 = new QCheckBox("Simulate Encoder Y");
    CheckBox3 = new QCheckBox("Use external Start Signal");
    box_widgets_ = {CheckBox4, CheckBox1, CheckBox2, CheckBox3};
    Label1 = new QLabel("Encoder X Calibration Kx");
    Label2 = new QLabel("Encoder Y Calibration Ky");
    Label3 = new QLabel("Startdelay [EncoderCounts]");
    Edit1 = NumberEdit("[-1000...+1000]");
    Edit2 = NumberEdit("[-1000...+1000]");
    Edit3 = NumberEdit("[-500000...500000]");
    edits_ = {Edit1, Edit2, Edit3};
    Button1 = new QPushButton("Accept");
    Button2 = new QPushButton("Cancel");

    auto* frame = new QGroupBox;
    auto* frameLayout = new QGridLayout(frame);
    frameLayout->addWidget(CheckBox4, 0, 0, 1, 2);
    frameLayout->addWidget(CheckBox1, 1, 0, 1, 2);
    frameLayout->addWidget(CheckBox2, 2, 0, 1, 2);
    frameLayout->addWidget(CheckBox3, 3, 0, 1, 2);
    frameLayout->addWidget(Label1, 4, 0);
    frameLayout->addWidget(Edit1, 4, 1);
    frameLayout->addWidget(Label2, 5, 0);
    frameLayout->addWidget(Edit2, 5, 1);
    frameLayout->addWidget(Label3, 6, 0);
    frameLayout->addWidget(Edit3, 6, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(ButtonRow(Button2, Button1));
    FixSize();

    ChainTabOrder({CheckBox4, CheckBox1, CheckBox2, CheckBox3, Edit1, Edit2, Edit3, Button2, Button1});

    const FlyBox boxes[] = {FlyBox::EnableMOF, FlyBox::SimulateEncoderX, FlyBox::SimulateEncoderY, FlyBox::ExtStart};
    for (FlyBox box : boxes)
        connect(box_widgets_[static_cast<std::size_t>(box)], &QCheckBox::toggled, this,
                [this, box](bool checked) { GuardedIn(this, notifier_, [this, box, checked] { BoxClick(box, checked); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { GuardedIn(this, notifier_, [this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::hide);
    FormActivate();
}

void TFly::BoxClick(FlyBox box, bool checked) {
    boxes_.Set(box, checked);
    ShowBoxes();
}

void TFly::ShowBoxes() {
    // A box the rules changed reports its change too; the rules then find nothing to do.
    for (std::size_t i = 0; i < box_widgets_.size(); ++i)
        box_widgets_[i]->setChecked(boxes_.Checked(static_cast<FlyBox>(i)));
    const FlyEnabling& enabling = boxes_.Enabling();
    CheckBox1->setEnabled(enabling.SimulateEncoders);
    CheckBox2->setEnabled(enabling.SimulateEncoders);
    Label1->setEnabled(enabling.Kx);
    Edit1->setEnabled(enabling.Kx);
    Label2->setEnabled(enabling.Ky);
    Edit2->setEnabled(enabling.Ky);
    Label3->setEnabled(enabling.StartDelay);
    Edit3->setEnabled(enabling.StartDelay);
}

void TFly::FormActivate() {
    GuardedIn(this, notifier_, [this] {
        const FlyDialogTexts texts = FillFlyDialog(state_.parameters);
        boxes_ = texts.boxes;
        ShowBoxes();
        for (std::size_t i = 0; i < kFlyEditCount; ++i) edits_[i]->setText(QString::fromStdString(texts.edits.texts[i]));
    });
}

FlyDialogTexts TFly::Typed() const {
    FlyDialogTexts texts;
    texts.boxes = boxes_;
    for (std::size_t i = 0; i < kFlyEditCount; ++i) texts.edits.texts[i] = edits_[i]->text().toStdString();
    return texts;
}

void TFly::Button1Click() {
    ShowAcceptResult(AcceptFlyDialog(Typed(), state_.parameters, notifier_), edits_, *this);
}

} // namespace ondrel
