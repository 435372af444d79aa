// The converter as an operator drives it on a simulated 2-D board: started with the example
// drawing and settings naming a correction file, then Ctrl+S in the main window. The board's
// motion file must be the transformed drawing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <fstream>

#include "../core/temp_dir.h"
#include "converter_windows.h"
#include "field_transform.h"
#include "library_binding.h"
#include "optimizer.h"
#include "plot_file_loader.h"
#include "qt_dialogs.h"
#include "quarnel4.h"

namespace ondrel {
namespace {

std::string MotionPath() { return ONDREL_TEST_OUTPUT_DIR "/operator_motion.txt"; }

std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(Operator, MarksTheExampleDrawingWithCtrlS) {
    fakes::TempDir dir;
    dir.Write("table.ctb", std::string(8450 * 2, '\0'));
    dir.Write("Quarnel4.ini", "[Correction]\r\nFileName=" + dir.File("table.ctb") + "\r\n");
    const std::string motionPath = MotionPath();
    QtNotifier notifier;
    QtFileChooser chooser;
    PlotFileLoader loader;
    SharedBoard board(BoundLibrary());
    ConverterWindows windows(ConverterServices{board, notifier, loader, chooser, &OptimizeGood,
                                               &OptimizeFast, dir.Dir(), std::string(ONDREL_EXAMPLE_DRAWING)});
    TForm1& form = *windows.Form1;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::qWait(50); // the first paint loads the command-line drawing
    ASSERT_EQ(form.State().CorrectionLoaded, 1);
    ASSERT_GT(form.State().VectorCount(), 100);
    const std::size_t motionBefore = Lines(motionPath).size();

    form.activateWindow();
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
    QApplication::processEvents();

    EXPECT_TRUE(windows.Belichtung->isVisible());
    EXPECT_TRUE(windows.Belichtung->MarkingTimeLabel->text().startsWith("Marking Time = "))
        << windows.Belichtung->MarkingTimeLabel->text().toStdString();
    EXPECT_EQ(windows.Belichtung->Button1->text(), "OK");

    std::vector<std::string> expected;
    const TransformCoefficients t = MakeTransform(form.State().drawing, form.State().field);
    for (const VectorRecord& r : form.State().drawing.VectorStream) {
        const BitPoint p = MapPoint(t, r.x, r.y);
        expected.push_back(std::string(r.kind == Jump ? "JUMP " : "MARK ") + std::to_string(p.x) + " " +
                           std::to_string(p.y) + " 0");
    }
    const std::vector<std::string> all = Lines(motionPath);
    const std::vector<std::string> run(all.begin() + static_cast<std::ptrdiff_t>(motionBefore), all.end());
    EXPECT_EQ(run.size(), expected.size());
    for (std::size_t i = 0; i < std::min(run.size(), expected.size()); ++i)
        if (run[i] != expected[i]) {
            ADD_FAILURE() << "motion line " << i << ": " << run[i] << " instead of " << expected[i];
            break;
        }

    windows.Belichtung->Button1->click();
    EXPECT_FALSE(form.Busy());
}

} // namespace
} // namespace ondrel

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName("Ondrel to Quarnel");
    // One simulated 2-D board that writes what it executes.
    setenv("QUARNEL_SIM", "2d", 1);
    setenv("QUARNEL_SIM_SPEED", "0", 1);
    setenv("QUARNEL_SIM_MOTION", ondrel::MotionPath().c_str(), 1);
    std::uint32_t boards = 0;
    usb_reinitialize(&boards);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
