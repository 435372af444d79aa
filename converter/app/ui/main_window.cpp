#include "main_window.h"

#include <exception>
#include <iostream>

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QImage>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "about_window.h"
#include "card_storage.h"
#include "correction_download.h"
#include "drawing_export.h"
#include "field_window.h"
#include "fixed_dialog.h"
#include "fly_window.h"
#include "grid_window.h"
#include "info_window.h"
#include "laser_window.h"
#include "marking_window.h"
#include "marking_estimate.h"
#include "io_interface.h"
#include "io_window.h"
#include "limits_frame.h"
#include "marking_run.h"
#include "output_window.h"
#include "optimum_window.h"
#include "program_startup.h"
#include "qt_canvas.h"
#include "qt_file_saver.h"
#include "status_window.h"

namespace ondrel {

TPaintBox::TPaintBox(TForm1& form) : form_(form) {
    setCursor(Qt::CrossCursor);
    setMouseTracking(true);
    setAutoFillBackground(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TPaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    form_.PaintBox1Paint(painter);
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    MouseButton button = MouseButton::Middle;
    if (event->button() == Qt::LeftButton) button = MouseButton::Left;
    if (event->button() == Qt::RightButton) button = MouseButton::Right;
    const QPoint at = event->position().toPoint();
    form_.PaintBox1MouseDown(button, at.x(), at.y());
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    form_.PaintBox1MouseMove(at.x(), at.y());
}

TForm1::TForm1(ConverterServices services) : services_(std::move(services)) {
    setWindowTitle("VELMORA  Ondrel to Quarnel4 Converter");
    setAcceptDrops(true);
    BuildMenu();
    BuildToolBar();
    PaintBox1 = new TPaintBox(*this);
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel);
    layout->addWidget(PaintBox1, 1);
    setCentralWidget(central);
    resize(408, 490);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    command_line_pending_ = services_.commandLineFile.has_value();
    Guarded([this] { StartConverter(state_, services_.library, services_.notifier, services_.programDir); });
}

TForm1::~TForm1() {
    // Ended without closing: no window is left to show a box in.
    if (stopped_) return;
    StreamNotifier errors(std::cerr);
    ondrel::Guarded(errors, [this, &errors] { StopConverter(state_, services_.library, errors); });
}

void TForm1::BuildMenu() {
    auto action = [this](QMenu* menu, const QString& caption) { return menu->addAction(caption); };
    QMenu* file = menuBar()->addMenu("&File");
    LoadHPGL1 = action(file, "&Load HPGL-File");
    SaveHPGL1 = action(file, "&Save HPGL-File");
    file->addSeparator();
    LoadIni1 = action(file, "Load Ini-File");
    SaveIni1 = action(file, "Save Ini-File");
    file->addSeparator();
    SaveonMMC1 = action(file, "Save on &MMC");
    file->addSeparator();
    Quit1 = action(file, "&Quit");

    QMenu* options = menuBar()->addMenu("&Options");
    Laser1 = action(options, "&Laser");
    Marking1 = action(options, "&Marking");
    Field1 = action(options, "&Field");
    Correction1 = action(options, "&Correction");
    Fly1 = action(options, "Fl&y");
    IOCard1 = action(options, "&IO-Interface");

    QMenu* view = menuBar()->addMenu("&View");
    ZoomField1 = action(view, "Zoom &Field");
    ZoomObject1 = action(view, "Zoom &Object");
    view->addSeparator();
    ShowPolygons1 = action(view, "Show &Polygons (rgb)");
    ShowPolygons1->setCheckable(true);
    ShowLimits1 = action(view, "Show &Limits");
    ShowLimits1->setCheckable(true);
    ShowToolBar1 = action(view, "Show &Tool Bar");
    ShowToolBar1->setCheckable(true);
    ShowToolBar1->setChecked(true);

    QMenu* mark = menuBar()->addMenu("&Mark");
    Start1 = action(mark, "&Start Marking");
    Start1->setShortcut(QKeySequence("Ctrl+S"));
    MakeGrid1 = action(mark, "Make &Grid");

    QMenu* optimize = menuBar()->addMenu("O&ptimize");
    good1 = action(optimize, "&Slow and good");
    badandfast1 = action(optimize, "&Quick and dirty");

    QMenu* info = menuBar()->addMenu("&Info");
    MarkingInfo1 = action(info, "&Marking Info");
    SystemStatus1 = action(info, "&System Status");
    About1 = action(info, "&About");
    Help1 = action(info, "&Help");
    Help1->setEnabled(false);

    Connect(LoadHPGL1, &TForm1::LoadHPGL1Click);
    Connect(LoadIni1, &TForm1::LoadIni1Click);
    Connect(SaveIni1, &TForm1::SaveIni1Click);
    Connect(Quit1, &TForm1::Quit1Click);
    Connect(Correction1, &TForm1::Correction1Click);
    Connect(ZoomField1, &TForm1::ZoomField1Click);
    Connect(ZoomObject1, &TForm1::ZoomObject1Click);
    Connect(ShowPolygons1, &TForm1::ShowPolygons1Click);
    Connect(ShowToolBar1, &TForm1::ShowToolBar1Click);
    Connect(ShowLimits1, &TForm1::ShowLimits1Click);
    Connect(Start1, &TForm1::Start1Click);
    Connect(good1, &TForm1::good1Click);
    Connect(badandfast1, &TForm1::badandfast1Click);
    Connect(MarkingInfo1, &TForm1::MarkingInfo1Click);
    Connect(SaveHPGL1, &TForm1::SaveHPGL1Click);
    connect(Laser1, &QAction::triggered, this, [this] { ShowWindow(windows_.Laser); });
    connect(Marking1, &QAction::triggered, this, [this] { ShowWindow(windows_.Marking); });
    connect(Field1, &QAction::triggered, this, [this] { ShowWindow(windows_.Field); });
    connect(Fly1, &QAction::triggered, this, [this] { ShowWindow(windows_.Fly); });
    connect(MakeGrid1, &QAction::triggered, this, [this] { ShowWindow(windows_.Grid); });
    Connect(SaveonMMC1, &TForm1::SaveonMMC1Click);
    Connect(IOCard1, &TForm1::IOCard1Click);
    Connect(SystemStatus1, &TForm1::SystemStatus1Click);
    Connect(About1, &TForm1::About1Click);
}

void TForm1::BuildToolBar() {
    Panel = new QFrame;
    static_cast<QFrame*>(Panel)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel->setFixedHeight(27);
    auto* layout = new QHBoxLayout(Panel);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(1);

    auto button = [&](const QString& hint, const QString& text, QStyle::StandardPixmap icon) {
        auto* b = new QToolButton;
        b->setToolTip(hint);
        b->setAutoRaise(true);
        if (text.isEmpty()) {
            b->setIcon(style()->standardIcon(icon));
        } else {
            b->setText(text);
            QFont bold = b->font();
            bold.setBold(true);
            bold.setPixelSize(12);
            b->setFont(bold);
        }
        b->setFixedSize(23, 23);
        layout->addWidget(b);
        return b;
    };
    SpeedButton1 = button("Load HPGL-File", "", QStyle::SP_DialogOpenButton);
    ZoomInButton = button("Zoom Field", "", QStyle::SP_DesktopIcon);
    ZoomOutButton = button("Zoom Object", "", QStyle::SP_FileDialogContentsView);
    LimitButton = button("Show Limits", "", QStyle::SP_TitleBarMaxButton);
    LaserButton = button("Laser Parameter", "L", QStyle::SP_CustomBase);
    MarkingButton = button("Marking Parameter", "M", QStyle::SP_CustomBase);
    FieldButton = button("Field Parameter", "F", QStyle::SP_CustomBase);
    InfoButton = button("Marking Info", "", QStyle::SP_MessageBoxInformation);

    auto* xyPanel = new QFrame;
    xyPanel->setObjectName("XYPanel");
    xyPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    xyPanel->setToolTip("XY-Coordinates");
    xyPanel->setFixedWidth(120);
    auto* xyLayout = new QHBoxLayout(xyPanel);
    xyLayout->setContentsMargins(2, 0, 2, 0);
    Label1 = new QLabel("0 , 0");
    Label1->setAlignment(Qt::AlignCenter);
    xyLayout->addWidget(Label1);
    layout->addWidget(xyPanel);
    layout->addStretch();

    Connect(SpeedButton1, &TForm1::LoadHPGL1Click);
    Connect(ZoomInButton, &TForm1::ZoomField1Click);
    Connect(ZoomOutButton, &TForm1::ZoomObject1Click);
    Connect(LimitButton, &TForm1::Stop1Click);
    Connect(InfoButton, &TForm1::MarkingInfo1Click);
    connect(LaserButton, &QToolButton::clicked, this, [this] { ShowWindow(windows_.Laser); });
    connect(MarkingButton, &QToolButton::clicked, this, [this] { ShowWindow(windows_.Marking); });
    connect(FieldButton, &QToolButton::clicked, this, [this] { ShowWindow(windows_.Field); });
}

void TForm1::Guarded(const std::function<void()>& handler) { GuardedIn(this, services_.notifier, handler); }

void TForm1::Connect(QAction* action, void (TForm1::*handler)()) {
    connect(action, &QAction::triggered, this, [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
}

void TForm1::Connect(QToolButton* button, void (TForm1::*handler)()) {
    connect(button, &QToolButton::clicked, this, [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
}

void TForm1::ShowWindow(QWidget* window) {
    if (!window) return;
    window->show();
    window->raise();
    window->activateWindow();
}

AreaSize TForm1::Area() const { return {PaintBox1->width(), PaintBox1->height()}; }

void TForm1::DrawView() {
    field_dots_ = false;
    PaintBox1->update();
}

void TForm1::AttachWindows(const OtherWindows& windows) {
    windows_ = windows;
    run_window_.reset();
    if (windows_.Belichtung) run_window_ = std::make_unique<OutputRunWindow>(*windows_.Belichtung, *this);
}

void TForm1::RefreshView() {
    DrawView();
    Guarded([this] { RefreshLimitsFrame(state_, services_.library, services_.notifier); });
    SetShowLimits(state_.view.ShowLimits); // a frame the board did not take is unchecked
}

void TForm1::SetShowLimits(bool checked) {
    state_.view.ShowLimits = checked;
    ShowLimits1->setChecked(checked);
}

void TForm1::PaintBox1Paint(QPainter& painter) {
    if (command_line_pending_) {
        // Loaded once, after this paint: its box must not come back at every repaint.
        command_line_pending_ = false;
        QTimer::singleShot(0, this, [this] { Guarded([this] { LoadCommandLineFile(); }); });
    }
    const AreaSize area = Area();
    if (area.width < 2 || area.height < 2) return;
    state_.view.FitZoom = FitZoomFor(area);
    QImage image(PaintBox1->size(), QImage::Format_RGB32);
    {
        QtCanvas canvas(image, palette().color(QPalette::Button));
        ondrel::DrawView(state_, area, canvas);
        if (field_dots_) DrawFieldDots(state_, area, canvas);
        field_dots_ = false;
    }
    painter.drawImage(0, 0, image);
}

void TForm1::PaintBox1MouseDown(MouseButton button, int x, int y) {
    if (ViewMouseDown(state_, Area(), button, x, y)) DrawView();
}

void TForm1::PaintBox1MouseMove(int x, int y) {
    if (std::optional<std::string> text = CoordinateText(state_, Area(), x, y))
        Label1->setText(QString::fromStdString(*text));
}

void TForm1::LoadDrawingFile(DrawingFormat format, const std::string& path) {
    if (state_.RunInProgress) return;
    std::optional<std::string> caption =
        LoadDrawing(format, path, state_, services_.loader, services_.notifier, Area());
    // The screen never keeps a drawing that is no longer there, also after an empty load.
    DrawView();
    if (!caption) return;
    RefreshView();
    setWindowTitle(QString::fromStdString(*caption));
}

void TForm1::LoadCommandLineFile() {
    if (state_.VectorCount() != 0 || !services_.commandLineFile) return;
    if (std::optional<DrawingFormat> format = DropLoadFormat(*services_.commandLineFile))
        LoadDrawingFile(*format, *services_.commandLineFile);
}

void TForm1::DropFiles(const QStringList& paths) {
    if (paths.isEmpty()) return;
    const std::string path = paths.front().toStdString();
    if (std::optional<DrawingFormat> format = DropLoadFormat(path)) LoadDrawingFile(*format, path);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!busy_ && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    event->acceptProposedAction();
    Guarded([&] { DropFiles(paths); });
}

void TForm1::SetBusy(bool busy) {
    busy_ = busy;
    menuBar()->setEnabled(!busy);
    Panel->setEnabled(!busy);
    PaintBox1->setEnabled(!busy);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (busy_) {
        event->ignore();
        return;
    }
    // The settings are written while the window can still show a box about them.
    if (!stopped_) Guarded([this] { StopConverter(state_, services_.library, services_.notifier); });
    stopped_ = true;
    event->accept();
    QCoreApplication::quit();
}

void TForm1::LoadHPGL1Click() {
    if (std::optional<std::string> path = services_.chooser.Choose(FileDialogKind::OpenDrawing))
        LoadDrawingFile(MenuLoadFormat(*path), *path);
}

void TForm1::LoadIni1Click() {
    if (state_.RunInProgress) return;
    if (std::optional<std::string> path = services_.chooser.Choose(FileDialogKind::OpenSettings)) {
        LoadIniFile(*path, state_, services_.library, services_.notifier);
        SetShowLimits(state_.view.ShowLimits); // a new correction download ends the frame
        DrawView();
    }
}

void TForm1::SaveIni1Click() {
    if (std::optional<std::string> path = services_.chooser.Choose(FileDialogKind::SaveSettings))
        SaveIniFile(*path, state_, services_.notifier);
}

void TForm1::Quit1Click() { close(); }

void TForm1::Correction1Click() {
    if (state_.RunInProgress) return;
    if (std::optional<std::string> path = services_.chooser.Choose(FileDialogKind::OpenCorrection)) {
        ChooseCorrectionFile(*path, state_, services_.library, services_.notifier);
        SetShowLimits(state_.view.ShowLimits); // a new correction download ends the frame
        DrawView();
    }
}

void TForm1::ZoomField1Click() {
    if (!ZoomField(state_, Area())) return;
    DrawView();
    field_dots_ = true;
}

void TForm1::ZoomObject1Click() {
    if (ZoomObject(state_, Area())) DrawView();
}

void TForm1::ShowPolygons1Click() {
    state_.view.ShowPolygons = ShowPolygons1->isChecked();
    DrawView();
}

void TForm1::ShowToolBar1Click() { Panel->setVisible(ShowToolBar1->isChecked()); }

// The menu item has already toggled its check mark.
void TForm1::ShowLimits1Click() {
    SetShowLimits(ShowLimits1->isChecked());
    RefreshView();
}

void TForm1::Stop1Click() {
    SetShowLimits(!state_.view.ShowLimits);
    RefreshView();
}

void TForm1::Start1Click() {
    // Also reached by Ctrl+S and while the finished run's output window waits for "OK".
    if (busy_ || state_.RunInProgress || !run_window_) return;
    const BoxOwnerScope output(windows_.Belichtung); // the run's boxes, while it is shown
    StartMarking(state_, services_.library, services_.notifier, *run_window_);
}

void TForm1::good1Click() { RunOptimizer(services_.optimizeGood); }

void TForm1::badandfast1Click() { RunOptimizer(services_.optimizeFast); }

void TForm1::RunOptimizer(const OptimizeFunction& optimize) {
    if (state_.RunInProgress) return;
    RunInProgressScope running(state_);
    const BoxOwnerScope progress(windows_.Optimum);
    ShowWindow(windows_.Optimum);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SetBusy(true);
    try {
        if (optimize && windows_.Optimum) optimize(state_.drawing, state_.field, *windows_.Optimum);
    } catch (const std::exception& error) {
        windows_.Optimum->Close();
        services_.notifier.Show(MessageKind::Failure, error.what());
    }
    QApplication::restoreOverrideCursor();
    SetBusy(false);
    DrawView();
}

namespace {

// The main window's part in storing on the memory card.
class MainWindowCardStorage final : public CardStorageWindow {
public:
    explicit MainWindowCardStorage(TForm1& form) : form_(form) {}
    void DisableMainWindow() override { form_.SetBusy(true); }
    void EnableMainWindow() override { form_.SetBusy(false); }
    void UncheckShowLimits() override { form_.SetShowLimits(false); }

private:
    TForm1& form_;
};

} // namespace

void TForm1::SaveonMMC1Click() {
    MainWindowCardStorage window(*this);
    SaveOnCard(state_, services_.library, services_.notifier, window);
}

// Without a correction file or a ready board the item does nothing, not even a message.
void TForm1::IOCard1Click() {
    if (IoInterfaceMayOpen(state_, services_.library)) ShowWindow(windows_.IOCard);
}

void TForm1::SystemStatus1Click() { ShowWindow(windows_.Status); }

void TForm1::About1Click() { ShowWindow(windows_.AboutBox); }

void TForm1::MarkingInfo1Click() {
    std::optional<MarkingInfoTexts> texts = MarkingInfo(state_);
    if (!texts || !windows_.Info) return;
    windows_.Info->Fill(*texts);
    ShowWindow(windows_.Info);
}

void TForm1::SaveHPGL1Click() {
    QtFileSaver saver;
    SaveHPGLFile(state_, services_.chooser, saver, services_.notifier);
}

} // namespace ondrel
