#include "field_window.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace ondrel {

TField::TField(ConverterState& state, Notifier& notifier, std::function<void()> refreshView)
    : FixedDialog("Marking Field"), state_(state), notifier_(notifier), refresh_view_(std::move(refreshView)) {
    Edit1 = new QLineEdit;
    Edit1->setToolTip("1...100");
    Edit2 = new QLineEdit;
    Edit2->setToolTip("-50...+50");
    Edit3 = new QLineEdit;
    Edit3->setToolTip("-50...+50");
    Edit4 = new QLineEdit("0.0");
    Label6 = new QLabel;
    CheckBox1 = new QCheckBox("X - Invert");
    CheckBox2 = new QCheckBox("Y - Invert");
    CheckBox3 = new QCheckBox("XY - Flip");
    Button1 = new QPushButton("Accept");
    Button1->setDefault(true); // Return in a field accepts
    Button2 = new QPushButton("Cancel");

    auto* position = new QGroupBox("Object Position [%]");
    auto* positionLayout = new QFormLayout(position);
    positionLayout->addRow("Gain:", Edit1);
    positionLayout->addRow("X - Offset:", Edit2);
    positionLayout->addRow("Y - Offset:", Edit3);

    auto* mirror = new QGroupBox("Mirror");
    auto* mirrorLayout = new QVBoxLayout(mirror);
    mirrorLayout->addWidget(CheckBox1);
    mirrorLayout->addWidget(CheckBox2);
    mirrorLayout->addWidget(CheckBox3);

    auto* zPlane = new QGroupBox("Z - Plane");
    auto* zLayout = new QFormLayout(zPlane);
    zLayout->addRow("Z - Position [mm]: ", Edit4);
    zLayout->addRow("Calibration Factor [Bits/mm]:", Label6);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);

    auto* top = new QHBoxLayout;
    top->addWidget(position);
    top->addWidget(mirror);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(zPlane);
    layout->addLayout(buttons);
    FixSize();

    // The mirror boxes act the moment they change, whether the window is then accepted or not.
    connect(CheckBox1, &QCheckBox::toggled, this, [this](bool ticked) { state_.field.XInvert = ticked; });
    connect(CheckBox2, &QCheckBox::toggled, this, [this](bool ticked) { state_.field.YInvert = ticked; });
    connect(CheckBox3, &QCheckBox::toggled, this,
            [this](bool ticked) { GuardedIn(this, notifier_, [this, ticked] { CheckBox3Click(ticked); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { GuardedIn(this, notifier_, [this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::hide);
    FormActivate();
}

void TField::FormActivate() {
    const bool zPlane = state_.parameters.ZPlaneEnabled;
    Edit4->setEnabled(zPlane);
    Label6->setVisible(zPlane);
    shown_ = FillFieldDialog(state_);
    Edit1->setText(QString::fromStdString(shown_.Gain));
    Edit2->setText(QString::fromStdString(shown_.OffsetX));
    Edit3->setText(QString::fromStdString(shown_.OffsetY));
    Edit4->setText(QString::fromStdString(shown_.ZPosition));
    Label6->setText(QString::fromStdString(shown_.ZCalibration));
}

FieldDialogTexts TField::Typed() const {
    return {Edit1->text().toStdString(), Edit2->text().toStdString(), Edit3->text().toStdString(),
            Edit4->text().toStdString(), Label6->text().toStdString()};
}

void TField::Button1Click() {
    const FieldAcceptResult result = AcceptFieldDialog(Typed(), shown_, state_, notifier_);
    QLineEdit* const edits[] = {Edit1, Edit2, Edit3, Edit4};
    for (FieldEdit rejected : result.rejected) edits[static_cast<int>(rejected)]->setFocus();
    if (!result.Accepted()) return;
    hide();
    refresh_view_();
}

void TField::CheckBox3Click(bool ticked) {
    if (!SetXYFlip(state_, ticked)) return;
    shown_.OffsetX = OffsetPercentText(state_.field.FieldOffsetX);
    shown_.OffsetY = OffsetPercentText(state_.field.FieldOffsetY);
    Edit2->setText(QString::fromStdString(shown_.OffsetX));
    Edit3->setText(QString::fromStdString(shown_.OffsetY));
}

} // namespace ondrel
