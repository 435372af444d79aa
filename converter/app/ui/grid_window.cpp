#include "grid_window.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace ondrel {

TGrid::TGrid(ConverterState& state, SharedBoard& library, Notifier& notifier)
    : FixedDialog("Grid"), state_(state), library_(library), notifier_(notifier) {
    QLineEdit** const edits[] = {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5};
    const char* const labels[] = {"Number of points in one direction:",
                                  "Calibration of the correction file [Bit / mm]:",
                                  "Distance between two points [mm]:", "Diameter of the points [mm]:",
                                  "Diameter of the laser-focus [mm]:"};
    auto* group = new QGroupBox("Grid Parameter");
    auto* form = new QFormLayout(group);
    for (int i = 0; i < 5; ++i) {
        *edits[i] = new QLineEdit;
        (*edits[i])->setFixedWidth(75);
        form->addRow(labels[i], *edits[i]);
    }
    Button1 = new QPushButton("Cancel");
    Button2 = new QPushButton("Mark");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    FixSize();

    // A run in progress goes on when the window is closed.
    connect(Button1, &QPushButton::clicked, this, &QDialog::hide);
    connect(Button2, &QPushButton::clicked, this, [this] {
        const BoxOwnerScope afterTheRun(main_);
        GuardedIn(this, notifier_, [this] { Button2Click(); });
    });
    FormActivate();
}

void TGrid::FormActivate() {
    const GridDialogTexts t = FillGridDialog(state_.parameters);
    Edit1->setText(QString::fromStdString(t.Points));
    Edit2->setText(QString::fromStdString(t.Calibration));
    Edit3->setText(QString::fromStdString(t.Distance));
    Edit4->setText(QString::fromStdString(t.DotDiameter));
    Edit5->setText(QString::fromStdString(t.FocusDiameter));
}

GridDialogTexts TGrid::Typed() const {
    return {Edit1->text().toStdString(), Edit2->text().toStdString(), Edit3->text().toStdString(),
            Edit4->text().toStdString(), Edit5->text().toStdString()};
}

void TGrid::Button2Click() {
    if (!run_) return;
    const BoxOwnerScope output(output_); // the run's boxes, while it is shown
    const GridMarkResult result = GridMarkClick(Typed(), state_, library_, notifier_, *run_, [this] { hide(); });
    QLineEdit* const edits[] = {Edit1, Edit2, Edit3, Edit4, Edit5};
    for (GridEdit rejected : result.rejected) edits[static_cast<int>(rejected)]->setFocus();
}

} // namespace ondrel
