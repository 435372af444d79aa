#include "marking_window.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace ondrel {
namespace {

QLineEdit* NumberEdit(const char* hint) {
    auto* edit = new QLineEdit;
    edit->setToolTip(hint);
    return edit;
}

} // namespace

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
    delaysLeft->addRow("Jump-Delay:", Edit5);
    delaysLeft->addRow("Mark-Delay:", Edit6);
    delaysLeft->addRow("Polygon-Delay:", Edit7);
    auto* delaysRight = new QFormLayout;
    delaysRight->addRow("Edge-Threshold:", Edit8);
    delaysRight->addRow("Min.Jump-Delay:", Edit13);
    delaysRight->addRow("Jump-Length-Limit:", Edit14);
    auto* polygon = new QHBoxLayout;
    polygon->addWidget(CheckBox1);
    polygon->addWidget(Label13);
    polygon->addStretch();
    auto* vectorLayout = new QGridLayout(vectorDelays);
    vectorLayout->addLayout(delaysLeft, 0, 0);
    vectorLayout->addLayout(delaysRight, 0, 1);
    vectorLayout->addLayout(polygon, 1, 0, 1, 2);
    vectorLayout->addWidget(CheckBox2, 2, 0, 1, 2);

    auto* speeds = new QGroupBox("Speeds [Bit/ms]");
    auto* speedsLayout = new QFormLayout(speeds);
    speedsLayout->addRow("Jump-Speed:", Edit1);
    speedsLayout->addRow("Mark-Speed:", Edit2);

    auto* laserDelays = new QGroupBox("Laser-Delays [µs]");
    auto* laserLayout = new QFormLayout(laserDelays);
    laserLayout->addRow("Laser-On-Delay:", Edit3);
    laserLayout->addRow("Laser-Off-Delay:", Edit4);

    auto* miscellaneous = new QGroupBox("Miscellaneous");
    auto* miscellaneousLayout = new QFormLayout(miscellaneous);
    miscellaneousLayout->addRow("Number of Scans:", Edit11);
    miscellaneousLayout->addRow("LaserOn-Shift [µs]:", Edit12);

    auto* wobbel = new QGroupBox("Wobbel-Parameter");
    auto* wobbelLayout = new QFormLayout(wobbel);
    wobbelLayout->addRow("Frequency [Hz]:", Edit9);
    wobbelLayout->addRow("Amplitude [Bit]:", Edit10);

    auto* groups = new QGridLayout;
    groups->addWidget(vectorDelays, 0, 0, 1, 2);
    groups->addWidget(speeds, 1, 0);
    groups->addWidget(laserDelays, 1, 1);
    groups->addWidget(miscellaneous, 2, 0);
    groups->addWidget(wobbel, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    FixSize();

    // Top to bottom through the groups, each left column before the right one.
    QWidget* const tabOrder[] = {Edit5,  Edit6,  Edit7,  Edit8,  Edit13, Edit14, CheckBox1, CheckBox2, Edit1,
                                 Edit2,  Edit3,  Edit4,  Edit11, Edit12, Edit9,  Edit10,    Button2,   Button1};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(Button1, &QPushButton::clicked, this, [this] { Guarded(notifier_, [this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::hide);
    FormActivate();
}

void TMarking::FormActivate() {
    Guarded(notifier_, [this] { Show(FillMarkingDialog(state_)); });
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
    if (result.focus) EditFor(*result.focus)->setFocus();
    if (result.Accepted()) hide();
}

} // namespace ondrel
