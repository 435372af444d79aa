#include <gtest/gtest.h>

#include <QApplication>

#include "../core/fakes.h"
#include "optimizer.h"
#include "optimum_window.h"

namespace ondrel::fakes {
namespace {

// Notes what the progress window shows behind each box.
class WindowBehindBox : public RecordingNotifier {
public:
    TOptimum* window = nullptr;
    std::string caption;
    int position = -1;
    void Show(MessageKind kind, const std::string& text) override {
        caption = window->Label1->text().toStdString();
        position = window->ProgressBar1->value();
        RecordingNotifier::Show(kind, text);
    }
};

Drawing Singles(int count) {
    Drawing drawing;
    for (int k = 0; k < count; ++k) {
        drawing.VectorStream.push_back({Jump, float(k % 200) * 100, float(k / 200) * 100});
        drawing.VectorStream.push_back({Single, float(k % 200) * 100 + 50, float(k / 200) * 100});
    }
    drawing.DrawingScale = 1;
    return drawing;
}

TEST(OptimumWindow, ARefusalShowsNothingOfThePreviousRun) {
    WindowBehindBox notifier;
    TOptimum optimum(notifier);
    notifier.window = &optimum;

    Drawing done = Singles(40);
    optimum.show();
    ASSERT_EQ(OptimizeGood(done, {}, optimum), OptimizeOutcome::Done);
    ASSERT_EQ(optimum.Label1->text(), "Save Vectors");
    ASSERT_GT(optimum.ProgressBar1->value(), 0);
    EXPECT_FALSE(optimum.isVisible());

    Drawing tooLarge = Singles(MaxOptimizerVectors / 2);
    tooLarge.VectorStream.push_back({Jump, 0, 0});
    optimum.show();
    EXPECT_EQ(OptimizeFast(tooLarge, {}, optimum), OptimizeOutcome::TooManyVectors);
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_EQ(notifier.boxes[0].text, "More than 30000 vectors!");
    EXPECT_EQ(notifier.caption, "Vector Optimizer");
    EXPECT_EQ(notifier.position, 0);
    EXPECT_FALSE(optimum.isVisible());
}

} // namespace
} // namespace ondrel::fakes
