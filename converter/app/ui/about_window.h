// "AboutBox": the program's title, a logo and a notice line, and "OK".
#pragma once

#include <QLabel>
#include <QPushButton>

#include "fixed_dialog.h"

namespace ondrel {

class TAboutBox : public FixedDialog {
    Q_OBJECT
public:
    TAboutBox();

    QLabel* ProductName;
    QLabel* ProgramIcon;
    QLabel* Comments;
    QPushButton* OKButton;
};

} // namespace ondrel
