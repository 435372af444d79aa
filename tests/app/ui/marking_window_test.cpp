#include "dialog_checks.h"
#include "window_fixture.h"

namespace ondrel::fakes {
namespace {

TEST_F(WindowTest, MarkingWindowCaptionsHintsAndTabOrder) {
    Start();
    TMarking& marking = *windows->Marking;
    EXPECT_EQ(marking.windowTitle(), "Marking Parameter");
    const QStringList captions = CaptionsOf(marking);
    for (const char* text :
         {"Vector-Delays [µs]", "Speeds [Bit/ms]", "Laser-Delays [µs]", "Miscellaneous", "Wobbel-Parameter",
          "Jump-Delay:", "Mark-Delay:", "Polygon-Delay:", "Edge-Threshold:", "Min.Jump-Delay:", "Jump-Length-Limit:",
          "variable Polygon Delay", "Move Z-axis direct to the Endposition during 3D-Jumps", "Jump-Speed:",
          "Mark-Speed:", "Laser-On-Delay:", "Laser-Off-Delay:", "Number of Scans:", "LaserOn-Shift [µs]:",
          "Frequency [Hz]:", "Amplitude [Bit]:", "(default Polygon Table)", "Cancel", "Accept"})
        EXPECT_TRUE(captions.contains(QString::fromUtf8(text))) << text;
    EXPECT_EQ(marking.Edit1->toolTip(), "[1..50000]");
    EXPECT_EQ(marking.Edit3->toolTip(), "[-8000...8000]");
    EXPECT_EQ(marking.Edit4->toolTip(), "[1...8000]");
    EXPECT_EQ(marking.Edit8->toolTip(), "[0..65500]");
    EXPECT_EQ(marking.Edit11->toolTip(), "[1..100]");
    EXPECT_EQ(marking.Edit10->toolTip(), "[0..5000]");
    EXPECT_EQ(TabChain(marking.Edit5),
              (std::vector<QWidget*>{marking.Edit5, marking.Edit6, marking.Edit7, marking.Edit8, marking.Edit13,
                                     marking.Edit14, marking.CheckBox1, marking.CheckBox2, marking.Edit1,
                                     marking.Edit2, marking.Edit3, marking.Edit4, marking.Edit11, marking.Edit12,
                                     marking.Edit9, marking.Edit10, marking.Button2, marking.Button1}));
}

TEST_F(WindowTest, MarkingWindowRejectsWarnsAndRefills) {
    Start();
    TMarking& marking = *windows->Marking;
    Parameters& p = Form1().State().parameters;
    marking.show();
    Activate(marking);
    EXPECT_EQ(marking.Edit1->text(), "1000");
    EXPECT_EQ(marking.Edit12->text(), "0");

    // Without a warning the rejected text stays where it was typed.
    marking.Edit1->setText("abc");
    marking.Edit5->setText("25");
    marking.CheckBox1->setChecked(true);
    marking.Button1->click();
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_TRUE(notifier.boxes.empty());
    EXPECT_TRUE(marking.isVisible());
    EXPECT_EQ(marking.focusWidget(), marking.Edit1);
    EXPECT_EQ(marking.Edit1->text(), "abc");
    EXPECT_EQ(p.JumpDelay, 20);
    EXPECT_TRUE(p.UseVarPolyDelay);

    // A warning refills the window from what is stored; the focus stays.
    marking.Edit3->setText("300");
    marking.Button1->click();
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_EQ(notifier.boxes[0].kind, MessageKind::Warning);
    EXPECT_EQ(notifier.boxes[0].text, "LaserOnDelay > LaserOffDelay!");
    EXPECT_EQ(notifier.beeps, 2);
    EXPECT_EQ(marking.Edit1->text(), "1000");
    EXPECT_EQ(marking.Edit3->text(), "300");
    EXPECT_EQ(marking.Edit5->text(), "20");
    EXPECT_EQ(marking.focusWidget(), marking.Edit1);
    EXPECT_TRUE(marking.isVisible());

    // Warnings never keep the window open.
    marking.Button1->click();
    EXPECT_EQ(notifier.boxes.size(), 2u);
    EXPECT_FALSE(marking.isVisible());
    EXPECT_EQ(p.LaserOnDelay, 300);
}

TEST_F(WindowTest, MarkingWindowDiscardsTypedTextOnActivationAndCancels) {
    Start();
    TMarking& marking = *windows->Marking;
    Parameters& p = Form1().State().parameters;
    marking.show();
    marking.Edit2->setText("777");
    marking.CheckBox2->setChecked(true);
    Activate(marking);
    EXPECT_EQ(marking.Edit2->text(), "100");
    EXPECT_FALSE(marking.CheckBox2->isChecked());

    marking.Edit2->setText("777");
    marking.Button2->click();
    EXPECT_FALSE(marking.isVisible());
    EXPECT_EQ(p.MarkSpeed, 100);

    Form1().State().PolygonTableLoaded = 1;
    p.LaserOnShift = 0.125;
    Activate(marking);
    EXPECT_EQ(marking.Label13->text(), "(loaded Polygon Table)");
    EXPECT_EQ(marking.Edit12->text(), "0.125");
}

} // namespace
} // namespace ondrel::fakes
