#include "dialog_checks.h"
#include "window_fixture.h"

namespace ondrel::fakes {
namespace {

TEST_F(WindowTest, FlyWindowCaptionsHintsAndTabOrder) {
    Start();
    TFly& fly = *windows->Fly;
    EXPECT_EQ(fly.windowTitle(), "Marking On The Fly");
    const QStringList captions = CaptionsOf(fly);
    for (const char* text : {"Enable Marking on the Fly", "Simulate Encoder X", "Simulate Encoder Y",
                             "Use external Start Signal", "Encoder X Calibration Kx", "Encoder Y Calibration Ky",
                             "Startdelay [EncoderCounts]", "Cancel", "Accept"})
        EXPECT_TRUE(captions.contains(text)) << text;
    EXPECT_EQ(fly.Edit1->toolTip(), "[-1000...+1000]");
    EXPECT_EQ(fly.Edit3->toolTip(), "[-500000...500000]");
    EXPECT_EQ(TabChain(fly.CheckBox4),
              (std::vector<QWidget*>{fly.CheckBox4, fly.CheckBox1, fly.CheckBox2, fly.CheckBox3, fly.Edit1, fly.Edit2,
                                     fly.Edit3, fly.Button2, fly.Button1}));
}

TEST_F(WindowTest, FlyBoxesSetFromCodeRunTheirHandlers) {
    Start();
    TFly& fly = *windows->Fly;
    fly.show();
    Activate(fly);
    EXPECT_FALSE(fly.CheckBox1->isEnabled() || fly.Edit1->isEnabled() || fly.Label1->isEnabled());
    EXPECT_TRUE(fly.CheckBox3->isEnabled());

    fly.CheckBox4->setChecked(true);
    EXPECT_TRUE(fly.CheckBox1->isEnabled() && fly.CheckBox2->isEnabled());
    EXPECT_TRUE(fly.Edit1->isEnabled() && fly.Edit2->isEnabled());
    EXPECT_FALSE(fly.Edit3->isEnabled() || fly.Label3->isEnabled());
    fly.CheckBox2->setChecked(true);
    EXPECT_FALSE(fly.Edit1->isEnabled() || fly.Label1->isEnabled());
    fly.CheckBox1->setChecked(true); // unchecks Y
    EXPECT_FALSE(fly.CheckBox2->isChecked());
    EXPECT_TRUE(fly.Edit1->isEnabled());
    EXPECT_FALSE(fly.Edit2->isEnabled() || fly.Label2->isEnabled());
    fly.CheckBox3->setChecked(true);
    EXPECT_TRUE(fly.Edit3->isEnabled() && fly.Label3->isEnabled());

    // Off: everything but the external start disabled, the simulation kept and stored.
    fly.CheckBox4->setChecked(false);
    EXPECT_FALSE(fly.CheckBox1->isEnabled() || fly.Edit1->isEnabled() || fly.Edit3->isEnabled());
    EXPECT_TRUE(fly.CheckBox1->isChecked());
    fly.Edit1->setText("abc");
    fly.Button1->click();
    EXPECT_FALSE(fly.isVisible());
    const Parameters& p = Form1().State().parameters;
    EXPECT_TRUE(p.SimulateEncoderX);
    EXPECT_TRUE(p.ExtStart);
    EXPECT_FALSE(p.EnableMOF);
    EXPECT_EQ(p.Kx, 0);
}

TEST_F(WindowTest, FlyWindowFillsBothSimulationsAsYAndKeepsBadDisabledFieldsOpen) {
    Start();
    TFly& fly = *windows->Fly;
    Parameters& p = Form1().State().parameters;
    p.EnableMOF = p.SimulateEncoderX = p.SimulateEncoderY = true;
    p.Kx = 2;
    fly.show();
    Activate(fly);
    EXPECT_FALSE(fly.CheckBox1->isChecked());
    EXPECT_TRUE(fly.CheckBox2->isChecked());
    EXPECT_FALSE(fly.Edit1->isEnabled());
    EXPECT_EQ(fly.Edit1->text(), "2");

    // Typed while enabled, then disabled by the other axis's simulation.
    fly.CheckBox2->setChecked(false);
    fly.Edit1->setText("abc");
    fly.CheckBox2->setChecked(true);
    fly.Edit2->setFocus();
    fly.Button1->click();
    EXPECT_TRUE(fly.isVisible());
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_EQ(fly.focusWidget(), fly.Edit2);
    EXPECT_EQ(p.Kx, 2);
    EXPECT_FALSE(p.SimulateEncoderX);

    fly.Edit1->setText("7");
    Activate(fly); // the typed text goes
    EXPECT_EQ(fly.Edit1->text(), "2");
    fly.Button1->click();
    EXPECT_FALSE(fly.isVisible());
}

} // namespace
} // namespace ondrel::fakes
