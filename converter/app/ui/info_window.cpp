#include "info_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace ondrel {
namespace {

struct Row {
    QLabel*& name;
    QLabel*& value;
    QLabel*& share;
    const char* caption;
};

// A group of rows: the row's name, then its value and share right-aligned.
QGroupBox* Group(const QString& caption, std::initializer_list<Row> rows, QLabel* top = nullptr) {
    auto* box = new QGroupBox(caption);
    auto* grid = new QGridLayout(box);
    int line = 0;
    if (top) grid->addWidget(top, line++, 0, 1, 3);
    for (const Row& row : rows) {
        row.name = new QLabel(row.caption);
        row.value = new QLabel;
        row.share = new QLabel;
        row.value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row.share->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row.value->setMinimumWidth(90);
        row.share->setMinimumWidth(50);
        grid->addWidget(row.name, line, 0);
        grid->addWidget(row.value, line, 1);
        grid->addWidget(row.share, line, 2);
        ++line;
    }
    return box;
}

void Show(QLabel* value, QLabel* share, const InfoRow& row) {
    value->setText(QString::fromStdString(row.value));
    share->setText(QString::fromStdString(row.share));
}

} // namespace

TInfo::TInfo() : FixedDialog("Marking Information") {
    Label1 = new QLabel("All values are calculated !");
    QFont italic = Label1->font();
    italic.setItalic(true);
    Label1->setFont(italic);

    GroupBox1 = Group("Commands", {{L111, L112, L113, "Jumps:"}, {L121, L122, L123, "Marks:"},
                                   {L131, L132, L133, "Polys:"}});
    GroupBox2 = Group("Scan-Length [Bit]", {{L211, L212, L213, "Jumps:"}, {L221, L222, L223, "Marks:"}});
    Label2 = new QLabel("Label2");
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    GroupBox3 = Group("Time [s]",
                      {{L311, L312, L313, "Jump-Delays:"}, {L321, L322, L323, "Mark-Delays:"},
                       {L331, L332, L333, "Poly-Delays:"}, {L341, L342, L343, "Jump-Time:"},
                       {L351, L352, L353, "Mark-Time:"}},
                      Label2);
    Button1 = new QPushButton("Close");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2);
    layout->addWidget(GroupBox3);
    layout->addLayout(buttons);
    FixSize();

    connect(Button1, &QPushButton::clicked, this, &TInfo::Button1Click);
}

void TInfo::Fill(const MarkingInfoTexts& t) {
    QLabel* const commands[3][2] = {{L112, L113}, {L122, L123}, {L132, L133}};
    for (int i = 0; i < 3; ++i) Show(commands[i][0], commands[i][1], t.commands[i]);
    GroupBox2->setTitle(QString::fromStdString(t.lengthCaption));
    Show(L212, L213, t.lengths[0]);
    Show(L222, L223, t.lengths[1]);
    Label2->setText(QString::fromStdString(t.markingTime));
    QLabel* const times[5][2] = {{L312, L313}, {L322, L323}, {L332, L333}, {L342, L343}, {L352, L353}};
    for (int i = 0; i < 5; ++i) Show(times[i][0], times[i][1], t.times[i]);
}

void TInfo::Button1Click() { hide(); }

} // namespace ondrel
