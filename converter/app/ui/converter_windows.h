// The converter's twelve windows, created once, in this order, and destroyed together; the
// main window first, whose creation runs the start-up.
#pragma once

#include <memory>

#include "about_window.h"
#include "field_window.h"
#include "fixed_dialog.h"
#include "fly_window.h"
#include "grid_window.h"
#include "info_window.h"
#include "io_window.h"
#include "laser_window.h"
#include "main_window.h"
#include "marking_window.h"
#include "optimum_window.h"
#include "output_window.h"
#include "status_window.h"

namespace ondrel {

class ConverterWindows {
public:
    explicit ConverterWindows(ConverterServices services);
    ~ConverterWindows();
    ConverterWindows(const ConverterWindows&) = delete;
    ConverterWindows& operator=(const ConverterWindows&) = delete;

    // Declared in creation order; destroyed in reverse, the main window last.
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TMarking> Marking;
    std::unique_ptr<TField> Field;
    std::unique_ptr<TInfo> Info;
    std::unique_ptr<TAboutBox> AboutBox;
    std::unique_ptr<TStatus> Status;
    std::unique_ptr<TBelichtung> Belichtung;
    std::unique_ptr<TOptimum> Optimum;
    std::unique_ptr<TGrid> Grid;
    std::unique_ptr<TLaser> Laser;
    std::unique_ptr<TFly> Fly;
    std::unique_ptr<TIOCard> IOCard;
};

} // namespace ondrel
