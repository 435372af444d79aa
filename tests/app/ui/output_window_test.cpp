// The marking run as the operator drives it: Ctrl+S in the main window, the output window
// with its Stop / OK button and close box, and the limits frame from the View menu and the
// tool bar.
#include <QAction>
#include <QMenuBar>

#include "window_fixture.h"

namespace ondrel::fakes {
namespace {

class OutputWindowTest : public WindowTest {
protected:
    void StartWithDrawing() {
        Start();
        Form1().DropFiles({"/d/spiral.plt"});
        Form1().State().CorrectionLoaded = 1;
        library.calls.clear();
    }
    TBelichtung& Output() { return *windows->Belichtung; }

    // Runs `act` at every event pump of the run (it posts itself again) with the pump's
    // number, until the handler returns.
    void AtEachPump(std::function<void(int)> act) {
        pumps_ = 0;
        running_ = true;
        watch_ = [this, act] {
            if (!running_) return;
            act(++pumps_);
            QMetaObject::invokeMethod(&Form1(), watch_, Qt::QueuedConnection);
        };
        QMetaObject::invokeMethod(&Form1(), watch_, Qt::QueuedConnection);
    }
    void StartMarkingByShortcut() {
        Form1().Start1->trigger();
        running_ = false;
        QApplication::processEvents();
    }
    std::vector<std::string> Tail(std::size_t n) const {
        return std::vector<std::string>(library.calls.end() - static_cast<std::ptrdiff_t>(n), library.calls.end());
    }

    int pumps_ = 0;

private:
    bool running_ = false;
    std::function<void()> watch_;
};

const std::vector<std::string> kStopPath = {"stop_execution()", "write_da_1(0)", "write_8bit_port(0)",
                                            "set_control_mode(0)", "goto_xyz(0,0,0)"};

TEST_F(OutputWindowTest, StopDuringTheDownloadEndsTheRunAndFreesTheMainWindow) {
    StartWithDrawing();
    library.status_default = 0x10; // the board would never finish
    std::string labelAtStop, buttonAtStop;
    bool busyDuringRun = false;
    AtEachPump([&](int pump) {
        if (pump != 1) return;
        busyDuringRun = Form1().Busy() && !Form1().menuBar()->isEnabled() && Output().isVisible();
        labelAtStop = Output().MarkingTimeLabel->text().toStdString();
        buttonAtStop = Output().Button1->text().toStdString();
        Output().Button1->click();
    });
    StartMarkingByShortcut();

    EXPECT_EQ(labelAtStop, "Download in progress");
    EXPECT_EQ(buttonAtStop, "Stop");
    EXPECT_TRUE(busyDuringRun);
    EXPECT_EQ(Tail(5), kStopPath);
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_TRUE(notifier.boxes.empty());
    EXPECT_FALSE(Output().isVisible());
    EXPECT_FALSE(Form1().Busy());
    EXPECT_TRUE(Form1().menuBar()->isEnabled());
    EXPECT_EQ(Form1().State().StopRequested, 1);
    EXPECT_FALSE(Form1().State().RunInProgress);
}

TEST_F(OutputWindowTest, CloseBoxDuringTheRunStopsItLikeTheButton) {
    StartWithDrawing();
    library.status_default = 0x10;
    AtEachPump([&](int pump) {
        if (pump == 8) Output().close();
    });
    StartMarkingByShortcut();
    EXPECT_GE(pumps_, 8);
    EXPECT_EQ(Tail(5), kStopPath);
    EXPECT_FALSE(Output().isVisible());
    EXPECT_FALSE(Form1().Busy());
}

TEST_F(OutputWindowTest, FinishedRunShowsTheTimeAndKeepsTheMainWindowUntilOK) {
    StartWithDrawing();
    library.timer = 12.34567;
    loader.drawing.VectorStream.resize(150, VectorRecord{Jump, 0, 0}); // the bar would pass 100
    Form1().DropFiles({"/d/long.plt"});
    Form1().SetShowLimits(true);
    library.calls.clear();
    int highestBar = 0;
    AtEachPump([&](int) { highestBar = std::max(highestBar, Output().ProgressBar->value()); });
    StartMarkingByShortcut();

    EXPECT_TRUE(notifier.boxes.empty());
    EXPECT_TRUE(Output().isVisible());
    EXPECT_EQ(Output().MarkingTimeLabel->text().toStdString(), "Marking Time = 12.346 Seconds");
    EXPECT_EQ(Output().MarkingTimeLabel->font().pointSize(), 10);
    EXPECT_EQ(Output().Button1->text().toStdString(), "OK");
    EXPECT_EQ(Output().ProgressBar->value(), 100);
    EXPECT_LE(highestBar, 100);
    EXPECT_FALSE(Form1().ShowLimits1->isChecked());
    EXPECT_FALSE(Form1().State().view.ShowLimits);

    // The main window takes no input, nor another Ctrl+S, until OK.
    EXPECT_TRUE(Form1().Busy());
    EXPECT_FALSE(Form1().menuBar()->isEnabled());
    const std::size_t callsAfterRun = library.calls.size();
    Form1().Start1->trigger();
    EXPECT_EQ(library.calls.size(), callsAfterRun);

    Output().Button1->click();
    EXPECT_FALSE(Output().isVisible());
    EXPECT_FALSE(Form1().Busy());
    EXPECT_TRUE(Form1().menuBar()->isEnabled());
}

TEST_F(OutputWindowTest, ShowLimitsFromTheMenuAndTheToolButton) {
    StartWithDrawing();
    Form1().ShowLimits1->trigger();
    EXPECT_TRUE(Form1().ShowLimits1->isChecked());
    const std::vector<std::string> frame = library.calls;
    ASSERT_EQ(frame.size(), 52u);
    EXPECT_EQ(frame[0], "set_control_mode(0)");
    EXPECT_EQ(frame[49], "set_list_jump(5)");
    EXPECT_EQ(frame.back(), "execute_list_1()");

    // A new drawing moves the frame without a toggle.
    library.calls.clear();
    for (VectorRecord& r : loader.drawing.VectorStream) r.x *= 0.5f;
    loader.drawing.Bounds.MaxX *= 0.5f;
    loader.drawing.Bounds.MinX *= 0.5f;
    Form1().DropFiles({"/d/half.plt"});
    ASSERT_EQ(library.calls.size(), 52u);
    EXPECT_NE(library.calls[9], frame[9]);

    library.calls.clear();
    Form1().LimitButton->click();
    EXPECT_FALSE(Form1().ShowLimits1->isChecked());
    EXPECT_EQ(library.calls, (std::vector<std::string>{"set_control_mode(0)", "stop_execution()", "goto_xyz(0,0,0)"}));

    // Without a correction file the mark still toggles and nothing is sent.
    Form1().State().CorrectionLoaded = 0;
    library.calls.clear();
    Form1().LimitButton->click();
    EXPECT_TRUE(Form1().ShowLimits1->isChecked());
    EXPECT_TRUE(library.calls.empty());
}

TEST_F(OutputWindowTest, NoCorrectionFileShowsTheBoxOnly) {
    StartWithDrawing();
    Form1().State().CorrectionLoaded = 0;
    StartMarkingByShortcut();
    EXPECT_TRUE(library.calls.empty());
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_EQ(notifier.boxes[0].text, "Quarnel not Ready!\rPlease load a Correction File");
    EXPECT_FALSE(Output().isVisible());
    EXPECT_FALSE(Form1().Busy());
}

} // namespace
} // namespace ondrel::fakes
