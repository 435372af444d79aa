// The converter's main window: menu, tool bar with the coordinate display, and the drawing
// area. It owns the program-wide state the other windows read and change.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QToolButton>

#include "converter_state.h"
#include "drawing_load.h"
#include "file_chooser.h"
#include "notifier.h"
#include "optimizer.h"
#include "run_window.h"
#include "shared_board.h"

namespace ondrel {

class TForm1;
class TMarking;
class TField;
class TInfo;
class TAboutBox;
class TStatus;
class TBelichtung;
class TOptimum;
class TGrid;
class TLaser;
class TFly;
class TIOCard;

using OptimizeFunction = std::function<OptimizeOutcome(Drawing&, const FieldTransform&, OptimizerProgress&)>;

// What the windows work with: the board, the boxes, the loaders, the file dialogs and the
// optimiser's two modes, plus where the program lives and what it was started with.
struct ConverterServices {
    SharedBoard& library;
    Notifier& notifier;
    DrawingLoader& loader;
    FileChooser& chooser;
    OptimizeFunction optimizeGood;
    OptimizeFunction optimizeFast;
    std::string programDir; // ends in "/"; "Quarnel4.ini" lives here
    std::optional<std::string> commandLineFile;
};

// The eleven other windows, as the main window's handlers show them.
struct OtherWindows {
    TMarking* Marking;
    TField* Field;
    TInfo* Info;
    TAboutBox* AboutBox;
    TStatus* Status;
    TBelichtung* Belichtung;
    TOptimum* Optimum;
    TGrid* Grid;
    TLaser* Laser;
    TFly* Fly;
    TIOCard* IOCard;
};

// The drawing area: it paints and takes the mouse for the main window.
class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(TForm1& form);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    TForm1& form_;
};

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // Runs the start-up of the converter (board test, settings, correction file).
    explicit TForm1(ConverterServices services);
    // Releases the board's list limit and writes the settings beside the program.
    ~TForm1() override;

    // Also makes the runs' view of the output window and this window.
    void AttachWindows(const OtherWindows& windows);
    // What the marking and grid runs drive; null until the windows are attached.
    RunWindow* RunOutput() { return run_window_.get(); }

    ConverterState& State() { return state_; }
    AreaSize Area() const;

    // Redraws the drawing area (at its next paint).
    void DrawView();
    // DrawView and the limits frame on the head.
    void RefreshView();
    // Loads a drawing and, when one was loaded, fits the view and shows its path as caption.
    void LoadDrawingFile(DrawingFormat format, const std::string& path);
    // Drops one or more files: the first one loads when its extension is ".PLT" or ".VL".
    void DropFiles(const QStringList& paths);
    // While a run is in progress the window takes no input and cannot be closed.
    void SetBusy(bool busy);
    bool Busy() const { return busy_; }
    // The check mark of View > "Show Limits".
    bool ShowLimitsChecked() const { return state_.view.ShowLimits; }
    void SetShowLimits(bool checked);

    // Drawing area events.
    void PaintBox1Paint(QPainter& painter);
    void PaintBox1MouseDown(MouseButton button, int x, int y);
    void PaintBox1MouseMove(int x, int y);

    // Menu items and tool buttons.
    QAction *LoadHPGL1, *SaveHPGL1, *LoadIni1, *SaveIni1, *SaveonMMC1, *Quit1;
    QAction *Laser1, *Marking1, *Field1, *Correction1, *Fly1, *IOCard1;
    QAction *ZoomField1, *ZoomObject1, *ShowPolygons1, *ShowLimits1, *ShowToolBar1;
    QAction *Start1, *MakeGrid1, *good1, *badandfast1;
    QAction *MarkingInfo1, *SystemStatus1, *About1, *Help1;
    QWidget* Panel;
    QToolButton *SpeedButton1, *ZoomInButton, *ZoomOutButton, *LimitButton, *LaserButton, *MarkingButton,
        *FieldButton, *InfoButton;
    QLabel* Label1; // the coordinate display
    TPaintBox* PaintBox1;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenu();
    void BuildToolBar();
    // Runs a handler; an error inside it is shown in a box and the program goes on.
    void Guarded(const std::function<void()>& handler);
    void Connect(QAction* action, void (TForm1::*handler)());
    void Connect(QToolButton* button, void (TForm1::*handler)());
    void ShowWindow(QWidget* window);

    void LoadHPGL1Click();
    void LoadIni1Click();
    void SaveIni1Click();
    void Quit1Click();
    void Correction1Click();
    void ZoomField1Click();
    void ZoomObject1Click();
    void ShowPolygons1Click();
    void ShowToolBar1Click();
    void ShowLimits1Click();
    void Stop1Click(); // the tool button LimitButton
    void Start1Click();
    void good1Click();
    void badandfast1Click();
    void MarkingInfo1Click(); // also the tool button InfoButton
    void SaveHPGL1Click();
    void SaveonMMC1Click();
    void IOCard1Click();
    void SystemStatus1Click();
    void About1Click();
    void RunOptimizer(const OptimizeFunction& optimize);
    void LoadCommandLineFile();

    ConverterServices services_;
    ConverterState state_;
    OtherWindows windows_{};
    std::unique_ptr<RunWindow> run_window_;
    bool busy_ = false;
    bool field_dots_ = false;          // "Zoom Field" dots until the next redraw
    bool command_line_pending_ = false; // the first paint loads the command-line file
    bool stopped_ = false;              // the settings were written when the window closed
};

} // namespace ondrel
