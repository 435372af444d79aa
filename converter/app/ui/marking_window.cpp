#include "marking_window.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "parameter_dialog_parts.h"

namespace ondrel {

TMarking::TMarking(ConverterState& state, Notifier& notifier)
    : FixedDialog("Marking Parameter"), state_(state), notifier_(notifier) {
    Edit1 = NumberEdit("[1..50000]");
    Edit2 = NumberEdit("[1..50000]");
    Edit3 = NumberEdit("[-8000...8000]");
    Edit4 = NumberEdit("[1...8000]");
    Edit5 = NumberEdit("[0..32500]");
    Edit6 = NumberEdit("[0..32500]");
    Edit7 = NumberEdit("[0..32500]");
    Edit8 = NumberEdit("[0..65500]");
    Edit9 = NumberEdit("[0..1000]");
    Edit10 = NumberEdit("[0..5000]");
    Edit11 = NumberEdit("[1..100]");
    Edit12 = NumberEdit("[0..100]");
    Edit13 = NumberEdit("[0..32500]");
    Edit14 = NumberEdit("[0..32500]");
    edits_ = {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9, Edit10, Edit11, Edit12, Edit13, Edit14};
    CheckBox1 = new QCheckBox("variable Polygon Delay");
    CheckBox2 = new QCheckBox("Move Z-axis direct to the Endposition during 3D-Jumps");
    Label13 = new QLabel(kDefaultPolygonTable);
    Button1 = new QPushButton("Accept");
    Button2 = new QPushButton("Cancel");

    auto* vectorDelays = new QGroupBox("Vector-Delays [µs]");
    auto* delaysLeft = new QFormLayout;
    auto* delaysRight = new QFormLayout;
    const std::pair<const char*, QLineEdit*> delays[] = {
        {"Jump-Delay:", Edit5},     {"Mark-Delay:", Edit6},      {"Polygon-Delay:", Edit7},
        {"Edge-Threshold:", Edit8}, {"Min.Jump-Delay:", Edit13}, {"Jump-Length-Limit:", Edit14}};
    for (std::size_t i = 0; i < std::size(delays); ++i)
        (i < 3 ? delaysLeft : delaysRight)->addRow(delays[i].first, delays[i].second);
    auto* polygon = new QHBoxLayout;
    polygon->addWidget(CheckBox1);
    polygon->addWidget(Label13);
    polygon->addStretch();
    auto* vectorLayout = new QGridLayout(vectorDelays);
    vectorLayout->addLayout(delaysLeft, 0, 0);
    vectorLayout->addLayout(delaysRight, 0, 1);
    vectorLayout->addLayout(polygon, 1, 0, 1, 2);
    vectorLayout->addWidget(CheckBox2, 2, 0, 1, 2);

    auto* groups = new QGridLayout;
    groups->addWidget(vectorDelays, 0, 0, 1, 2);
    groups->addWidget(FieldGroup("Speeds [Bit/ms]", {{"Jump-Speed:", Edit1}, {"Mark-Speed:", Edit2}}), 1, 0);
    groups->addWidget(FieldGroup("Laser-Delays [µs]", {{"Laser-On-Delay:", Edit3}, {"Laser-Off-Delay:", Edit4}}), 1, 1);
    groups->addWidget(FieldGroup("Miscellaneous", {{"Number of Scans:", Edit11}, {"LaserOn-Shift [µs]:", Edit12}}),
                      2, 0);
    groups->addWidget(FieldGroup("Wobbel-Parameter", {{"Frequency [Hz]:", Edit9}, {"Amplitude [Bit]:", Edit10}}), 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(ButtonRow(Button2, Button1));
    FixSize();

    // Top to bottom through the groups, each left column before the right one.
    ChainTabOrder({Edit5, Edit6, Edit7, Edit8, Edit13, Edit14, CheckBox1, CheckBox2, Edit1, Edit2, Edit3, Edit4,
                   Edit11, Edit12, Edit9, Edit10, Button2, Button1});

    connect(Button1, &QPushButton::clicked, this, [this] { GuardedIn(this, notifier_, [this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::hide);
    FormActivate();
}

void TMarking::FormActivate() {
    GuardedIn(this, notifier_, [this] { Show(FillMarkingDialog(state_)); });
}

void TMarking::Show(const MarkingDialogTexts& texts) {
    CheckBox1->setChecked(texts.VarPolyDelay);
    CheckBox2->setChecked(texts.DirectZMove);
    for (std::size_t i = 0; i < kMarkingEditCount; ++i) edits_[i]->setText(QString::fromStdString(texts.edits.texts[i]));
    Label13->setText(QString::fromStdString(texts.PolygonNote));
}

MarkingDialogTexts TMarking::Typed() const {
    MarkingDialogTexts texts;
    texts.VarPolyDelay = CheckBox1->isChecked();
    texts.DirectZMove = CheckBox2->isChecked();
    for (std::size_t i = 0; i < kMarkingEditCount; ++i) texts.edits.texts[i] = edits_[i]->text().toStdString();
    texts.PolygonNote = Label13->text().toStdString();
    return texts;
}

void TMarking::Button1Click() {
    MarkingDialogTexts texts = Typed();
    const MarkingAcceptResult result = AcceptMarkingDialog(texts, state_, notifier_);
    if (result.refilled) Show(texts);
    ShowAcceptResult(result, edits_, *this);
}

} // namespace ondrel
