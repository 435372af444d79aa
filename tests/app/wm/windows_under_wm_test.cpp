// The converter's windows on a real display with a window manager (openbox): message boxes
// stay on top of the window whose handler raises them, and Return and Escape in the
// parameter windows press "Accept" and "Cancel".
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QRegularExpression>
#include <QWindow>

#include "../ui/window_fixture.h"
#include "qt_dialogs.h"

namespace ondrel::fakes {
namespace {

// The client window the window manager stacks on top of all others.
WId TopWindow() {
    QProcess xprop;
    xprop.start("xprop", {"-root", "-notype", "_NET_CLIENT_LIST_STACKING"});
    if (!xprop.waitForFinished(2000)) return 0;
    const QString out = QString::fromLatin1(xprop.readAllStandardOutput()).trimmed();
    const QString last = out.section(QRegularExpression("[ ,]+"), -1);
    bool ok = false;
    const WId id = last.toULongLong(&ok, 16);
    return ok ? id : 0;
}

struct SeenBox {
    QString text;
    bool transientForOwner = false; // the window manager is told whose box it is
    bool onTop = false;             // stacked above every other window
    bool active = false;            // has the focus
};

// Answers every box that opens: waits until the window manager shows it on top and gives it
// the focus (at most three seconds), notes what it saw and presses OK.
class BoxWatcher {
public:
    explicit BoxWatcher(QWidget& owner) : owner_(owner) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
        timer_.start(20);
    }
    std::vector<SeenBox> seen;

private:
    void Tick() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        if (!open_.isValid()) open_.start();
        SeenBox s;
        s.text = box->text();
        s.transientForOwner = box->windowHandle() && box->windowHandle()->transientParent() == owner_.windowHandle();
        s.onTop = TopWindow() == box->winId();
        s.active = box->isActiveWindow();
        if ((s.onTop && s.active) || open_.elapsed() > 3000) {
            seen.push_back(s);
            open_.invalidate();
            box->button(QMessageBox::Ok)->click();
        }
    }

    QWidget& owner_;
    QTimer timer_;
    QElapsedTimer open_;
};

class WindowManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        loader.drawing = SpiralDrawing();
        windows = std::make_unique<ConverterWindows>(
            ConverterServices{board, notifier, loader, chooser, {}, {}, dir.Dir(), std::nullopt});
        windows->Form1->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(windows->Form1.get()));
    }
    void TearDown() override { windows.reset(); }

    // Opens a window through its menu item, as the operator does.
    void Open(QAction* item, QWidget& window) {
        item->trigger();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    TempDir dir;
    FakeLibrary library;
    SharedBoard board{library, library.CheckPort()};
    QtNotifier notifier;
    ScriptedLoader loader;
    NoChooser chooser;
    std::unique_ptr<ConverterWindows> windows;
};

TEST_F(WindowManagerTest, MarkingWarningsStayOnTopOfTheMarkingWindow) {
    TMarking& marking = *windows->Marking;
    Open(windows->Form1->Marking1, marking);
    // Two delay checks fail: Mark-Delay and Edge-Threshold below Laser-Off minus Laser-On.
    marking.Edit4->setText("8000");
    marking.Edit8->setText("100");
    BoxWatcher watcher(marking);
    marking.Button1->click();
    ASSERT_EQ(watcher.seen.size(), 2u);
    for (const SeenBox& box : watcher.seen) {
        SCOPED_TRACE(box.text.toStdString());
        EXPECT_TRUE(box.transientForOwner);
        EXPECT_TRUE(box.onTop);
        EXPECT_TRUE(box.active);
    }
    EXPECT_FALSE(marking.isVisible()); // warnings never keep the window open
    EXPECT_EQ(windows->Form1->State().parameters.LaserOffDelay, 8000);
}

// A grid run whose transfers fail closes the output and grid windows before its box: the box
// belongs to the main window.
TEST_F(WindowManagerTest, AFailedGridRunShowsItsBoxOnTheMainWindow) {
    TForm1& form = *windows->Form1;
    form.State().CorrectionLoaded = 1;
    library.transport_status = 0xE000100A;
    Open(form.MakeGrid1, *windows->Grid);
    BoxWatcher watcher(form);
    windows->Grid->Button2->click();
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].text.toStdString(), "Quarnel not Ready!");
    EXPECT_TRUE(watcher.seen[0].transientForOwner);
    EXPECT_TRUE(watcher.seen[0].onTop);
    EXPECT_TRUE(watcher.seen[0].active);
    EXPECT_FALSE(windows->Grid->isVisible());
}

TEST_F(WindowManagerTest, ReturnAcceptsAndEscapeCancelsInEveryParameterWindow) {
    TForm1& form = *windows->Form1;
    Parameters& p = form.State().parameters;
    struct Window {
        const char* name;
        QAction* item;
        FixedDialog* window;
        QLineEdit* edit;
        const char* typed;
        std::function<double()> stored;
    };
    const Window cases[] = {
        {"Marking", form.Marking1, windows->Marking.get(), windows->Marking->Edit1, "1234", [&] { return p.JumpSpeed; }},
        {"Laser", form.Laser1, windows->Laser.get(), windows->Laser->Edit8, "77", [&] { return p.LampDelay; }},
        {"Fly", form.Fly1, windows->Fly.get(), windows->Fly->Edit1, "2.5", [&] { return p.Kx; }},
        {"Field", form.Field1, windows->Field.get(), windows->Field->Edit1, "40", [&] { return form.State().field.FieldGain * 100.0; }},
    };
    p.EnableMOF = true; // Kx takes input
    for (const Window& c : cases) {
        SCOPED_TRACE(c.name);
        const double before = c.stored();
        Open(c.item, *c.window);
        c.edit->setFocus();
        c.edit->setText(c.typed);
        QTest::keyClick(c.edit, Qt::Key_Escape);
        EXPECT_FALSE(c.window->isVisible());
        EXPECT_DOUBLE_EQ(c.stored(), before);

        Open(c.item, *c.window);
        c.edit->setFocus();
        c.edit->setText(c.typed);
        QTest::keyClick(c.edit, Qt::Key_Return);
        EXPECT_FALSE(c.window->isVisible());
        EXPECT_NEAR(c.stored(), std::stod(c.typed), 1e-4);
    }
    EXPECT_TRUE(windows->AboutBox->OKButton->isDefault());
}

} // namespace
} // namespace ondrel::fakes

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
