#include "about_window.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace ondrel {

namespace {

// The logo: a scan field with its centre cross and a marked star.
QPixmap Logo() {
    QPixmap logo(64, 64);
    logo.fill(Qt::white);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::darkGray, 1, Qt::DotLine));
    painter.drawRect(4, 4, 56, 56);
    painter.drawLine(32, 4, 32, 60);
    painter.drawLine(4, 32, 60, 32);
    painter.setPen(QPen(Qt::red, 2));
    const QPointF star[] = {{32, 10}, {45, 52}, {11, 26}, {53, 26}, {19, 52}, {32, 10}};
    painter.drawPolyline(star, 6);
    return logo;
}

} // namespace

TAboutBox::TAboutBox() : FixedDialog("AboutBox") {
    auto* panel = new QFrame;
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ProductName = new QLabel("Ondrel to Quarnel4");
    QFont title = ProductName->font();
    title.setPointSize(18);
    title.setBold(true);
    ProductName->setFont(title);
    ProductName->setAlignment(Qt::AlignCenter);
    ProgramIcon = new QLabel;
    ProgramIcon->setPixmap(Logo());
    ProgramIcon->setAlignment(Qt::AlignCenter);
    Comments = new QLabel("Marks HP-GL and vector drawings on Quarnel4 scanner boards");
    Comments->setAlignment(Qt::AlignCenter);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->addWidget(ProductName);
    panelLayout->addWidget(ProgramIcon);
    panelLayout->addWidget(Comments);

    OKButton = new QPushButton("OK");
    OKButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addLayout(buttons);
    FixSize();

    connect(OKButton, &QPushButton::clicked, this, &QDialog::hide);
}

} // namespace ondrel
