#include "grid_window.h"
#include "window_fixture.h"

namespace ondrel::fakes {
namespace {

TEST_F(WindowTest, GridWindowFillsItsFieldsWhenActivated) {
    Start();
    TGrid& grid = *windows->Grid;
    grid.Edit3->setText("typed, not accepted");
    grid.FormActivate();
    const QLineEdit* const edits[] = {grid.Edit1, grid.Edit2, grid.Edit3, grid.Edit4, grid.Edit5};
    const char* const shown[] = {"30", "550", "3.5", "1.8", "0.2"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(edits[i]->text(), shown[i]);
    EXPECT_EQ(grid.Button1->text(), "Cancel");
    EXPECT_EQ(grid.Button2->text(), "Mark");
}

TEST_F(WindowTest, GridMarkFocusesTheLastRejectedField) {
    Start();
    TGrid& grid = *windows->Grid;
    grid.show();
    grid.activateWindow();
    grid.Edit1->setText("51");
    grid.Edit4->setText("0.1");
    grid.Button2->click();
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_EQ(grid.focusWidget(), grid.Edit4);
    EXPECT_TRUE(grid.isVisible());
    EXPECT_TRUE(library.CallsNamed("set_start_list_1").empty());
}

TEST_F(WindowTest, GridMarkRunsThroughTheOutputWindow) {
    Start();
    Form1().State().CorrectionLoaded = 1;
    TGrid& grid = *windows->Grid;
    grid.show();
    grid.Edit1->setText("2");
    library.calls.clear();
    grid.Button2->click();
    EXPECT_EQ(library.CallsNamed("jump_abs").size(), 5u);
    EXPECT_FALSE(grid.isVisible());
    EXPECT_FALSE(windows->Belichtung->isVisible());
    EXPECT_FALSE(Form1().Busy());
    EXPECT_EQ(Form1().State().StopRequested, 1);
    EXPECT_FALSE(Form1().State().RunInProgress);
}

TEST_F(WindowTest, GridMarkWithoutARunWindowDoesNothing) {
    Start();
    Form1().State().CorrectionLoaded = 1;
    TGrid& grid = *windows->Grid;
    grid.SetRunWindow(nullptr, nullptr, nullptr);
    grid.Edit1->setText("2");
    library.calls.clear();
    grid.Button2->click();
    EXPECT_TRUE(library.calls.empty());
    EXPECT_EQ(Form1().State().parameters.GridPoints, 30);
}

} // namespace
} // namespace ondrel::fakes
