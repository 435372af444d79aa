#include <filesystem>

#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "plot_file_loader.h"
#include "window_fixture.h"

namespace ondrel::fakes {
namespace {

const QString kStartCaption = "VELMORA  Ondrel to Quarnel4 Converter";

TEST_F(WindowTest, TwelveWindowsWithTheirCaptions) {
    Start();
    const std::pair<QWidget*, const char*> windowsInOrder[] = {
        {windows->Form1.get(), "VELMORA  Ondrel to Quarnel4 Converter"},
        {windows->Marking.get(), "Marking Parameter"},
        {windows->Field.get(), "Marking Field"},
        {windows->Info.get(), "Marking Information"},
        {windows->AboutBox.get(), "AboutBox"},
        {windows->Status.get(), "System Status"},
        {windows->Belichtung.get(), "Quarnel Output"},
        {windows->Optimum.get(), "Vector Optimizer"},
        {windows->Grid.get(), "Grid"},
        {windows->Laser.get(), "Laser - Parameter"},
        {windows->Fly.get(), "Marking On The Fly"},
        {windows->IOCard.get(), "Quarnel IO-Interface"},
    };
    for (const auto& [window, caption] : windowsInOrder) {
        EXPECT_EQ(window->windowTitle(), caption);
        if (window != windows->Form1.get()) {
            EXPECT_FALSE(window->isVisible()) << caption;
            EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint) << caption;
            EXPECT_EQ(window->parentWidget(), nullptr) << caption; // not disabled with the main window
        }
    }
    EXPECT_FALSE(Form1().Help1->isEnabled());
    EXPECT_TRUE(Form1().ShowToolBar1->isChecked());
    EXPECT_EQ(Form1().Start1->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(Form1().Label1->text(), "0 , 0");
}

TEST_F(WindowTest, StartWithoutABoardShowsTheCorrectionBoxOnce) {
    dir.Write("Quarnel4.ini", "[Correction]\r\nFileName=/opt/cor/table.ctb\r\n");
    library.program_result = 11;
    library.cor_result = 11;
    Start();
    Paint();
    Paint();
    QApplication::processEvents();
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_EQ(notifier.boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(notifier.boxes[0].text, "Quarnel4-Correction-File Download Error!\rNo Quarnel found!");
    EXPECT_EQ(Form1().State().CorrectionLoaded, 0);
    EXPECT_FALSE(Form1().State().parameters.ZPlaneEnabled);
}

TEST_F(WindowTest, DropLoadsTheFirstOfSeveralFiles) {
    Start();
    Form1().DropFiles({"/d/first.plt", "/d/second.vl", "/d/third.plt"});
    EXPECT_EQ(loader.paths, std::vector<std::string>{"/d/first.plt"});
    EXPECT_EQ(Form1().windowTitle(), "/d/first.plt");
    EXPECT_EQ(Form1().State().VectorCount(), loader.drawing.VectorCount());

    // A text file changes nothing: drawing, view and caption stay.
    Form1().State().view.ViewCenterX = 123;
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/d/notes.TXT"), QUrl::fromLocalFile("/d/other.plt")});
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Form1(), &drop);
    EXPECT_EQ(loader.paths.size(), 1u);
    EXPECT_EQ(Form1().windowTitle(), "/d/first.plt");
    EXPECT_EQ(Form1().State().view.ViewCenterX, 123);
}

TEST_F(WindowTest, FailedCommandLineLoadShowsItsBoxOnceAndKeepsTheCaption) {
    loader.failure = "Unable to open HPGL file!";
    Start("/nowhere/drawing.PLT");
    for (int i = 0; i < 3; ++i) {
        Paint();
        QApplication::processEvents();
    }
    EXPECT_EQ(loader.paths, std::vector<std::string>{"/nowhere/drawing.PLT"});
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_EQ(notifier.boxes[0].text, "Unable to open HPGL file!");
    EXPECT_EQ(Form1().windowTitle(), kStartCaption);
}

TEST_F(WindowTest, CommandLineLoadsAtTheFirstPaint) {
    Start("/d/start.plt");
    Paint();
    QApplication::processEvents();
    EXPECT_EQ(Form1().windowTitle(), "/d/start.plt");
    EXPECT_EQ(Form1().State().view.ViewZoom, FitZoomFor(Form1().Area()));
}

TEST_F(WindowTest, ShowToolBarHidesTheWholeBar) {
    Start();
    Form1().ShowToolBar1->trigger();
    EXPECT_FALSE(Form1().ShowToolBar1->isChecked());
    EXPECT_FALSE(Form1().Panel->isVisible());
    Form1().ShowToolBar1->trigger();
    EXPECT_TRUE(Form1().Panel->isVisible());
}

// A drawing of many short marks, enough for the optimiser to pump events many times.
Drawing ScatteredMarks(int count) {
    Drawing d;
    for (int i = 0; i < count; ++i) {
        const float x = static_cast<float>((i * 7919) % 2000 - 1000);
        const float y = static_cast<float>((i * 104729) % 2000 - 1000);
        d.VectorStream.push_back({Jump, x, y});
        d.VectorStream.push_back({Single, x + 5, y});
    }
    d.Bounds = {-1000, 1004, -1000, 999};
    d.DrawingCenter = {2, 0};
    d.DrawingScale = 65530.0f / 2004;
    return d;
}

TEST_F(WindowTest, OptimizerAbortKeepsTheDrawingAndFreesTheWindow) {
    good = &OptimizeGood;
    Start();
    loader.drawing = ScatteredMarks(1500);
    Form1().DropFiles({"/d/a.plt"});
    const std::vector<VectorRecord> before = Form1().State().drawing.VectorStream;

    // Each pump of the run delivers this watcher once (it posts itself again): it watches the
    // main window, tries to close it, and presses Abort at the fifth pump, when work has begun.
    int pumps = 0;
    bool busyDuringRun = true, closeRefused = true, running = true;
    std::function<void()> watch = [&] {
        if (!running) return;
        busyDuringRun &= Form1().Busy() && !Form1().menuBar()->isEnabled();
        Form1().close();
        closeRefused &= Form1().isVisible();
        if (++pumps == 5) windows->Optimum->Abort->click();
        QMetaObject::invokeMethod(&Form1(), watch, Qt::QueuedConnection);
    };
    QMetaObject::invokeMethod(&Form1(), watch, Qt::QueuedConnection);
    Form1().good1->trigger();
    running = false;
    QApplication::processEvents();

    EXPECT_GE(pumps, 5);
    EXPECT_TRUE(notifier.boxes.empty());
    EXPECT_TRUE(busyDuringRun);
    EXPECT_TRUE(closeRefused);
    ASSERT_EQ(Form1().State().drawing.VectorStream.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(Form1().State().drawing.VectorStream[i].x, before[i].x);
        EXPECT_EQ(Form1().State().drawing.VectorStream[i].kind, before[i].kind);
    }
    EXPECT_TRUE(windows->Optimum->OptimizerAborted());
    EXPECT_FALSE(windows->Optimum->isVisible());
    EXPECT_TRUE(Form1().menuBar()->isEnabled());
    EXPECT_FALSE(Form1().Busy());
}

TEST_F(WindowTest, QuickAndDirtyLeavesTheDrawingInBits) {
    fast = &OptimizeFast;
    Start();
    loader.drawing = ScatteredMarks(50);
    Form1().DropFiles({"/d/a.plt"});
    Form1().badandfast1->trigger();
    const Drawing& d = Form1().State().drawing;
    EXPECT_EQ(d.DrawingScale, 1.0f);
    EXPECT_EQ(d.DrawingCenter.x, 0.0f);
    EXPECT_EQ(d.VectorCount(), 100);
    EXPECT_EQ(windows->Optimum->Label1->text(), "Save Vectors");
    EXPECT_FALSE(windows->Optimum->isVisible());
    EXPECT_TRUE(notifier.boxes.empty());
}

TEST_F(WindowTest, TooManyVectorsForTheOptimizerShowsItsBox) {
    good = &OptimizeGood;
    Start();
    loader.drawing = ScatteredMarks(15001); // 30002 records
    Form1().DropFiles({"/d/a.plt"});
    Form1().good1->trigger();
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_EQ(notifier.boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(notifier.boxes[0].text, "More than 30000 vectors!");
    EXPECT_EQ(Form1().State().VectorCount(), 30002);
    EXPECT_FALSE(windows->Optimum->isVisible());
    EXPECT_FALSE(Form1().Busy());
}

TEST_F(WindowTest, AnErrorInsideTheOptimizerIsShownAndTheProgramGoesOn) {
    fast = [](Drawing&, const FieldTransform&, OptimizerProgress&) -> OptimizeOutcome {
        throw std::range_error("Range check error");
    };
    Start();
    Form1().badandfast1->trigger();
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_EQ(notifier.boxes[0].kind, MessageKind::Failure);
    EXPECT_STREQ(MessageCaption(notifier.boxes[0].kind), "Ondrel to Quarnel");
    EXPECT_FALSE(Form1().Busy());
}

TEST_F(WindowTest, MouseZoomAndCoordinates) {
    Start();
    Form1().DropFiles({"/d/a.plt"});
    const float fit = Form1().State().view.ViewZoom;
    const AreaSize area = Form1().Area();
    Form1().PaintBox1MouseMove(area.width / 2, area.height / 2);
    EXPECT_EQ(Form1().Label1->text(), "0 , 0");
    Form1().PaintBox1MouseDown(MouseButton::Left, area.width / 2, area.height / 2);
    EXPECT_FLOAT_EQ(Form1().State().view.ViewZoom, 2 * fit);
    Form1().ZoomField1->trigger();
    EXPECT_FLOAT_EQ(Form1().State().view.ViewZoom, static_cast<float>(std::min(area.width, area.height) - 1) / 65540);
}

// The example drawing through the real plot loader, with the chains in colour; the picture
// lands in the build folder (the README shows one).
TEST_F(WindowTest, RendersTheExampleDrawing) {
    PlotFileLoader plotLoader;
    windows = std::make_unique<ConverterWindows>(ConverterServices{
        board, notifier, plotLoader, chooser, good, fast, dir.Dir(), std::string(ONDREL_EXAMPLE_DRAWING)});
    Form1().show();
    Paint(); // the first paint starts the command-line load
    QApplication::processEvents();
    ASSERT_TRUE(notifier.boxes.empty()) << notifier.boxes[0].text;
    EXPECT_EQ(Form1().windowTitle(), ONDREL_EXAMPLE_DRAWING);
    EXPECT_GT(Form1().State().VectorCount(), 100);
    Form1().ShowPolygons1->trigger();
    const QImage image = Paint();
    ASSERT_TRUE(image.save(QString(ONDREL_TEST_OUTPUT_DIR) + "/main_window.png"));
    // Chains show red starts, green middles and blue ends.
    bool red = false, green = false, blue = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red |= c == QColor(255, 0, 0);
            green |= c == QColor(0, 128, 0);
            blue |= c == QColor(0, 0, 255);
        }
    EXPECT_TRUE(red && green && blue);
}

TEST_F(WindowTest, ClosingWritesTheSettingsBesideTheProgram) {
    Start();
    Form1().State().parameters.LampDelay = 777;
    windows.reset();
    EXPECT_NE(dir.Read("Quarnel4.ini").find("LampDelay=777\r\n"), std::string::npos);
}

// Closing writes the settings while the window can still show a box: settings that cannot be
// written are named in the error box, once, and nothing is written again at the end.
TEST_F(WindowTest, ClosingWithUnwritableSettingsShowsTheBox) {
    Start();
    std::filesystem::create_directory(dir.File("Quarnel4.ini"));
    Form1().close();
    EXPECT_FALSE(Form1().isVisible());
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_EQ(notifier.boxes[0].kind, MessageKind::Failure);
    EXPECT_NE(notifier.boxes[0].text.find(dir.File("Quarnel4.ini")), std::string::npos) << notifier.boxes[0].text;
    std::filesystem::remove(dir.File("Quarnel4.ini"));
    windows.reset();
    EXPECT_EQ(notifier.boxes.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(dir.File("Quarnel4.ini")));
}

} // namespace
} // namespace ondrel::fakes
