#include "info_window.h"
#include "window_fixture.h"

namespace ondrel::fakes {
namespace {

TEST_F(WindowTest, MarkingInfoWithoutADrawingShowsNothing) {
    Start();
    Form1().MarkingInfo1->trigger();
    Form1().InfoButton->click();
    EXPECT_FALSE(windows->Info->isVisible());
}

TEST_F(WindowTest, MarkingInfoFillsEveryValueLabel) {
    Start();
    Form1().DropFiles({"/d/a.plt"});
    TInfo& info = *windows->Info;
    EXPECT_EQ(info.Label2->text(), "Label2");
    Form1().InfoButton->click();
    ASSERT_TRUE(info.isVisible());
    EXPECT_TRUE(info.windowFlags() & Qt::WindowStaysOnTopHint);

    const MarkingInfoTexts expected = *MarkingInfo(Form1().State());
    const std::pair<QLabel*, const InfoRow*> rows[] = {
        {info.L112, &expected.commands[0]}, {info.L122, &expected.commands[1]}, {info.L132, &expected.commands[2]},
        {info.L212, &expected.lengths[0]},  {info.L222, &expected.lengths[1]},  {info.L312, &expected.times[0]},
        {info.L322, &expected.times[1]},    {info.L332, &expected.times[2]},    {info.L342, &expected.times[3]},
        {info.L352, &expected.times[4]},
    };
    for (const auto& [label, row] : rows) EXPECT_EQ(label->text().toStdString(), row->value);
    EXPECT_EQ(info.L113->text(), QString::fromStdString(expected.commands[0].share));
    EXPECT_EQ(info.L353->text(), QString::fromStdString(expected.times[4].share));
    EXPECT_EQ(info.L112->text(), "6"); // the spiral's jump and the five dots' jumps
    EXPECT_EQ(info.L131->text(), "Polys:");
    EXPECT_EQ(info.GroupBox2->title().toStdString(), expected.lengthCaption);
    EXPECT_TRUE(info.Label2->text().startsWith("Marking-Time:  "));
    EXPECT_EQ(info.Label1->text(), "All values are calculated !");

    info.Button1->click();
    EXPECT_FALSE(info.isVisible());
}

} // namespace
} // namespace ondrel::fakes
