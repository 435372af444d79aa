// "Marking Information": the marking-time estimate of the loaded drawing, broken down into
// commands, scan lengths and times. It shows the last estimate until the next one.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "fixed_dialog.h"
#include "marking_estimate.h"

namespace ondrel {

class TInfo : public FixedDialog {
    Q_OBJECT
public:
    TInfo();

    // Overwrites every value label and the scan-length caption.
    void Fill(const MarkingInfoTexts& texts);

    QLabel* Label1; // "All values are calculated !"
    QGroupBox *GroupBox1, *GroupBox2, *GroupBox3;
    QLabel *L111, *L112, *L113, *L121, *L122, *L123, *L131, *L132, *L133;
    QLabel *L211, *L212, *L213, *L221, *L222, *L223;
    QLabel* Label2; // "Marking-Time:  " + seconds
    QLabel *L311, *L312, *L313, *L321, *L322, *L323, *L331, *L332, *L333, *L341, *L342, *L343, *L351, *L352,
        *L353;
    QPushButton* Button1; // "Close"

private:
    void Button1Click();
};

} // namespace ondrel
