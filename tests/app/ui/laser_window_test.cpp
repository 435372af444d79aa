#include "dialog_checks.h"
#include "window_fixture.h"

namespace ondrel::fakes {
namespace {

TEST_F(WindowTest, LaserWindowCaptionsHintsAndTabOrder) {
    Start();
    TLaser& laser = *windows->Laser;
    EXPECT_EQ(laser.windowTitle(), "Laser - Parameter");
    const QStringList captions = CaptionsOf(laser);
    for (const char* text :
         {"Laser-Signal", "Stand-By-Signal", "Laser-Mode", "Analog/Digital Output", "CO2", "YAG 1", "YAG 2", "YAG 3",
          "YAG 4", "Output Period [µs]:", "Laser1 Pulse Width [µs]:", "Laser2 Pulse Width [µs]:",
          "FirstPulseKillerLength [µs]:", "Stand-By-Period [µs]:", "Stand-By-Pulse-Width [µs]:",
          "Output-Voltage [%]:", "Lamp Delay  [ms]", "8 Bit Port [0..255]:", "Cancel", "Accept"})
        EXPECT_TRUE(captions.contains(QString::fromUtf8(text))) << text;
    EXPECT_EQ(laser.Edit3->toolTip(), "[1...15000]");
    EXPECT_EQ(laser.Edit4->toolTip(), "[0.25...8000]");
    EXPECT_EQ(laser.Edit8->toolTip(), "[0...65000]");
    EXPECT_EQ(laser.Edit9->toolTip(), "[0...255]");
    const std::vector<QWidget*> chain = TabChain(laser.Edit3);
    ASSERT_GE(chain.size(), 7u);
    EXPECT_EQ(std::vector<QWidget*>(chain.begin(), chain.begin() + 7),
              (std::vector<QWidget*>{laser.Edit3, laser.Edit4, laser.Edit5, laser.Edit6, laser.Edit1, laser.Edit2,
                                     laser.ModeItems[0]}));
    EXPECT_EQ(std::vector<QWidget*>(chain.end() - 5, chain.end()),
              (std::vector<QWidget*>{laser.Edit7, laser.Edit8, laser.Edit9, laser.Button2, laser.Button1}));
}

TEST_F(WindowTest, LaserModesEnableTheirFieldsAndCancelKeepsTheMode) {
    Start();
    TLaser& laser = *windows->Laser;
    Parameters& p = Form1().State().parameters;
    laser.show();
    Activate(laser);
    EXPECT_TRUE(laser.ModeItems[0]->isChecked());
    EXPECT_TRUE(laser.Edit5->isEnabled() && laser.Label5->isEnabled());
    EXPECT_FALSE(laser.Edit6->isEnabled() || laser.Label6->isEnabled());
    EXPECT_EQ(laser.Edit6->text(), "5"); // disabled fields are filled too

    laser.ModeItems[2]->click();
    EXPECT_FALSE(laser.Edit5->isEnabled() || laser.Label5->isEnabled());
    EXPECT_TRUE(laser.Edit6->isEnabled() && laser.Label6->isEnabled());
    laser.Button2->click();
    EXPECT_FALSE(laser.isVisible());
    EXPECT_EQ(p.LaserMode, 0);
    laser.show();
    Activate(laser);
    EXPECT_TRUE(laser.ModeItems[0]->isChecked());
    EXPECT_TRUE(laser.Edit5->isEnabled());

    // "YAG 2" with the second pulse width emptied: replaced, and the window closes.
    laser.ModeItems[2]->click();
    laser.Edit5->clear();
    laser.Button1->click();
    EXPECT_FALSE(laser.isVisible());
    EXPECT_EQ(p.LaserMode, 2);
    EXPECT_EQ(p.Laser2PulseWidth, 1.0);
    EXPECT_EQ(notifier.beeps, 0);
}

TEST_F(WindowTest, LaserWindowRejectsWithFocusAndBeep) {
    Start();
    TLaser& laser = *windows->Laser;
    Parameters& p = Form1().State().parameters;
    laser.show();
    Activate(laser);
    laser.Edit5->setText("0");   // enabled in "CO2"
    laser.Edit9->setText("255.6");
    laser.Edit7->setText("150");
    laser.Button1->click();
    EXPECT_TRUE(laser.isVisible());
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_EQ(laser.focusWidget(), laser.Edit9);
    EXPECT_EQ(p.Laser2PulseWidth, 5);
    EXPECT_EQ(p.EightBitPort, 0);
    EXPECT_EQ(p.DigitalAnalogConverter1, 100);
    EXPECT_EQ(laser.Edit9->text(), "255.6");
}

} // namespace
} // namespace ondrel::fakes
