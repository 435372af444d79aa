// The I/O interface, system status and about windows and File > "Save on MMC" as the
// operator drives them, and the two 500 ms timers ticking while a marking run pumps.
#include <algorithm>

#include <QAction>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QThread>

#include "window_fixture.h"

namespace ondrel::fakes {
namespace {

class BoardWindowsTest : public WindowTest {
protected:
    TIOCard& Io() { return *windows->IOCard; }
    TStatus& Status() { return *windows->Status; }

    // Opens a window from its menu item and lets it become active.
    void Open(QAction* item) {
        item->trigger();
        QApplication::processEvents();
    }
    std::vector<bool> Shown(const std::array<QCheckBox*, kIoLines>& boxes) const {
        std::vector<bool> checked;
        for (const QCheckBox* box : boxes) checked.push_back(box->isChecked());
        return checked;
    }
};

std::vector<bool> Bits(std::initializer_list<int> set) {
    std::vector<bool> bits(kIoLines, false);
    for (int bit : set) bits[static_cast<std::size_t>(bit)] = true;
    return bits;
}

TEST_F(BoardWindowsTest, IoInterfaceOpensOnlyWithACorrectionFileAndAReadyBoard) {
    Start();
    library.calls.clear();
    Open(Form1().IOCard1); // no correction file
    EXPECT_FALSE(Io().isVisible());
    EXPECT_TRUE(library.calls.empty());

    Form1().State().CorrectionLoaded = 1;
    library.pro_result = 11; // the boards belong to another process
    Open(Form1().IOCard1);
    EXPECT_FALSE(Io().isVisible());
    EXPECT_EQ(library.calls, std::vector<std::string>{"load_pro()"});
    EXPECT_TRUE(notifier.boxes.empty());

    library.pro_result = 0;
    Open(Form1().IOCard1);
    EXPECT_TRUE(Io().isVisible());
    Io().FormActivate();
    EXPECT_TRUE(Io().Timer1->isActive());
    EXPECT_EQ(Io().Timer1->interval(), 500);
    EXPECT_EQ(Io().Outputs[15]->text(), "Bit 15");
    EXPECT_EQ(Io().Inputs[0]->objectName(), "CheckBox17");
    EXPECT_FALSE(Io().Inputs[0]->isEnabled());
}

TEST_F(BoardWindowsTest, OutputBoxesWriteTheWholeWordAndInputsShowEachTick) {
    Start();
    Io().show();
    library.calls.clear();
    Io().Outputs[0]->click();
    Io().Outputs[15]->click();
    Io().Outputs[0]->click();
    Io().Outputs[3]->setChecked(true); // from code, as a click would
    // A word the board does not take: the boxes go back to the word it has, with no write.
    library.transport_status = 0xE000100A;
    Io().Outputs[4]->click();
    library.transport_status = 0;
    EXPECT_EQ(Shown(Io().Outputs), Bits({3, 15}));
    std::erase(library.calls, "usb_status()");
    EXPECT_EQ(library.calls, (std::vector<std::string>{"write_io_port(1)", "write_io_port(32769)",
                                                       "write_io_port(32768)", "write_io_port(32776)",
                                                       "write_io_port(32792)"}));

    library.calls.clear();
    library.io_port = 0x0005;
    Io().Timer1Timer();
    EXPECT_EQ(Shown(Io().Inputs), Bits({0, 2}));
    library.io_port = 0x8000;
    Io().Timer1Timer();
    EXPECT_EQ(Shown(Io().Inputs), Bits({15}));
    EXPECT_EQ(library.calls, (std::vector<std::string>{"read_io_port()", "read_io_port()"}));
    // The outputs are never read back: the boxes keep what was clicked.
    EXPECT_EQ(Shown(Io().Outputs), Bits({3, 15}));
}

TEST_F(BoardWindowsTest, ComingBackToTheWindowLeavesTheTimerRunning) {
    Start();
    Io().show();
    Io().FormActivate();
    QThread::msleep(250);
    Io().FormActivate(); // the operator comes back to the window
    EXPECT_TRUE(Io().Timer1->isActive());
    EXPECT_LE(Io().Timer1->remainingTime(), 300); // not started over
    Status().show();
    Status().FormActivate();
    QThread::msleep(250);
    Status().FormActivate();
    EXPECT_LE(Status().Timer1->remainingTime(), 300);
}

TEST_F(BoardWindowsTest, EveryCloseStopsThePollAndReopeningStartsIt) {
    Start();
    const std::function<void(QDialog&)> closes[] = {
        [this](QDialog&) { Io().Button1->click(); },
        [](QDialog& d) { d.close(); },
        [](QDialog& d) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&d, &escape);
        },
    };
    for (const auto& close : closes) {
        Io().show();
        Io().FormActivate();
        ASSERT_TRUE(Io().Timer1->isActive());
        close(Io());
        EXPECT_FALSE(Io().isVisible());
        EXPECT_FALSE(Io().Timer1->isActive());
    }
    Status().show();
    Status().FormActivate();
    Status().Button1->click();
    EXPECT_FALSE(Status().Timer1->isActive());
}

// The correction file name is shown whole, the window as wide as it needs; a name wider than
// the screen is elided in the middle with the whole name as tool tip.
TEST_F(BoardWindowsTest, SystemStatusShowsTheWholeCorrectionFileName) {
    Start();
    const struct {
        std::string fileName;
        QString shown;
    } cases[] = {
        {"/home/operator/tables/c2d.ctb", "/home/operator/tables/c2d.ctb"}, // 29 characters
        {"/t/" + std::string(600, 'w') + ".ctb", QString()},
        {"/home/operator/tables/cor_2d.ctb", "cor_2d.ctb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName);
        Form1().State().parameters.FileName = c.fileName;
        Open(Form1().SystemStatus1);
        Status().FormActivate();
        QApplication::processEvents(); // the layout places the labels
        QLabel& label = *Status().L11;
        EXPECT_LE(Status().frameGeometry().width(), Status().screen()->availableGeometry().width());
        EXPECT_GE(label.width(), label.fontMetrics().horizontalAdvance(label.text()));
        if (!c.shown.isEmpty()) {
            EXPECT_EQ(label.text(), c.shown);
            EXPECT_TRUE(label.toolTip().isEmpty());
        } else {
            const QString whole = QString::fromStdString(c.fileName.substr(3));
            EXPECT_EQ(label.toolTip(), whole);
            EXPECT_TRUE(label.text().startsWith("wwww") && label.text().endsWith("w.ctb")) << label.text().toStdString();
            EXPECT_TRUE(label.text().contains(QChar(0x2026)));
        }
        Status().Button1->click();
    }
}

TEST_F(BoardWindowsTest, SystemStatusFillsOnEachActivationAndPollsTheHead) {
    library.oru_version = 0x0C05;
    library.hex_version = 3012;
    library.serial_number = 1234;
    library.head_status = 0xC800;
    Start();
    Form1().State().parameters.FileName = "/home/operator/tables/cor_2d.ctb";
    library.calls.clear();
    Open(Form1().SystemStatus1);
    Status().FormActivate();
    EXPECT_TRUE(Status().isVisible());
    EXPECT_EQ(Status().L1->text(), "5.07");
    EXPECT_EQ(Status().L2->text(), "5.50");
    EXPECT_EQ(Status().L3->text(), "3.012");
    EXPECT_EQ(Status().L4->text(), "5");
    EXPECT_EQ(Status().L5->text(), "1234");
    EXPECT_EQ(Status().L10->text(), "3D, IO-Card");
    EXPECT_EQ(Status().L11->text(), "cor_2d.ctb");
    EXPECT_EQ(Status().L6->text(), "?"); // until the first tick

    Status().Timer1Timer();
    EXPECT_EQ(Status().L6->text(), "OK");
    EXPECT_EQ(Status().L7->text(), "OK");
    EXPECT_EQ(Status().L8->text(), "OK");
    EXPECT_EQ(Status().L9->text(), "NOK");

    // Closed, it stops polling; reopened, it asks for the versions again.
    Status().Button1->click();
    EXPECT_FALSE(Status().Timer1->isActive());
    library.calls.clear();
    library.hex_version = 2650;
    Open(Form1().SystemStatus1);
    Status().FormActivate();
    EXPECT_EQ(Status().L3->text(), "2.650");
    EXPECT_EQ(library.CallsNamed("get_oru_version").size(), library.CallsNamed("get_hex_version").size());
    EXPECT_FALSE(library.CallsNamed("get_hex_version").empty());
    EXPECT_TRUE(Status().Timer1->isActive());
}

TEST_F(BoardWindowsTest, AboutBoxShowsAndHides) {
    Start();
    Open(Form1().About1);
    EXPECT_TRUE(windows->AboutBox->isVisible());
    EXPECT_EQ(windows->AboutBox->windowTitle(), "AboutBox");
    EXPECT_FALSE(windows->AboutBox->ProgramIcon->pixmap().isNull());
    windows->AboutBox->OKButton->click();
    EXPECT_FALSE(windows->AboutBox->isVisible());
}

TEST_F(BoardWindowsTest, SaveOnMmcReportsAndGivesTheMainWindowBack) {
    Start();
    Form1().State().CorrectionLoaded = 1;
    Form1().SetShowLimits(true);
    library.calls.clear();
    library.mmc_result = 1;
    Form1().SaveonMMC1->trigger();
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_EQ(notifier.boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(notifier.boxes[0].text, "MultiMediaCard Error!");
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_FALSE(Form1().ShowLimits1->isChecked());
    EXPECT_FALSE(Form1().Busy());
    EXPECT_TRUE(Form1().menuBar()->isEnabled());
    EXPECT_EQ(library.calls, (std::vector<std::string>{"stop_execution()", "set_max_counts(0)", "set_control_mode(9)",
                                                       "store_on_mmc()", "usb_status()"}));

    notifier.boxes.clear();
    library.mmc_result = 0;
    Form1().SaveonMMC1->trigger();
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_EQ(notifier.boxes[0].kind, MessageKind::Information);
    EXPECT_EQ(notifier.boxes[0].text, "MultiMediaCard is ready!");
}

// The run's own calls, in order, without those of the two windows' ticks.
std::vector<std::string> RunCalls(const std::vector<std::string>& calls) {
    std::vector<std::string> run;
    for (const std::string& call : calls)
        if (call != "read_io_port()" && call != "load_program_file()" && call != "get_head_status(1)")
            run.push_back(call);
    return run;
}

TEST_F(BoardWindowsTest, TimerTicksDuringAMarkingRunFallBetweenTheRunsCalls) {
    Start();
    Form1().DropFiles({"/d/spiral.plt"});
    Form1().State().CorrectionLoaded = 1;
    library.io_port = 0x0005;
    library.head_status = 0x4000;

    // The run alone.
    library.calls.clear();
    Form1().Start1->trigger();
    const std::vector<std::string> alone = library.calls;
    ASSERT_GT(alone.size(), 50u);
    windows->Belichtung->Button1->click(); // "OK"

    // The same run with both windows polling; at its first pump the timers fall due.
    Open(Form1().IOCard1);
    Open(Form1().SystemStatus1);
    Io().FormActivate();
    Status().FormActivate();
    ASSERT_TRUE(Io().Timer1->isActive());
    ASSERT_TRUE(Status().Timer1->isActive());
    library.calls.clear();
    bool slept = false;
    QMetaObject::invokeMethod(
        &Form1(),
        [&] {
            slept = true;
            QThread::msleep(600); // past the 500 ms and a coarse timer's 5 %
        },
        Qt::QueuedConnection);
    Form1().Start1->trigger();
    ASSERT_TRUE(slept);

    const std::vector<std::string> withTicks = library.calls;
    const auto io = std::find(withTicks.begin(), withTicks.end(), "read_io_port()");
    const auto head = std::find(withTicks.begin(), withTicks.end(), "get_head_status(1)");
    ASSERT_NE(io, withTicks.end());
    ASSERT_NE(head, withTicks.end());
    EXPECT_EQ(*(head - 1), "load_program_file()");
    // Between the run's first and last call...
    EXPECT_NE(io, withTicks.begin());
    EXPECT_NE(head - 1, withTicks.begin());
    EXPECT_LT(io - withTicks.begin(), static_cast<std::ptrdiff_t>(withTicks.size()) - 1);
    EXPECT_LT(head - withTicks.begin(), static_cast<std::ptrdiff_t>(withTicks.size()) - 1);
    // ... and the run's calls, list entries among them, are those of the run alone.
    EXPECT_EQ(RunCalls(withTicks), alone);
    EXPECT_EQ(Shown(Io().Inputs), Bits({0, 2}));
    EXPECT_EQ(Status().L6->text(), "OK");
    EXPECT_EQ(Status().L7->text(), "NOK");
    windows->Belichtung->Button1->click();
}

} // namespace
} // namespace ondrel::fakes
