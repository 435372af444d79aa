#include "window_fixture.h"

namespace ondrel::fakes {
namespace {

TEST_F(WindowTest, FieldWindowRejectsWithFocusAndBeep) {
    Start();
    TField& field = *windows->Field;
    field.show();
    field.FormActivate();
    EXPECT_EQ(field.Edit1->text(), "50.000");
    EXPECT_FALSE(field.Edit4->isEnabled());
    EXPECT_EQ(field.Edit4->text(), "0.0");
    field.activateWindow();
    field.Edit1->setText("abc");
    field.Edit2->setText("10");
    field.Button1->click();
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_TRUE(field.isVisible());
    EXPECT_EQ(field.focusWidget(), field.Edit1);
    EXPECT_FLOAT_EQ(Form1().State().field.FieldOffsetX, 10.0f / 50 * 32765);

    field.Edit3->setText("99"); // the last rejected field keeps the focus
    field.Button1->click();
    EXPECT_EQ(field.focusWidget(), field.Edit3);
    EXPECT_EQ(notifier.beeps, 2);

    field.Edit1->setText("100");
    field.Edit2->setText("0");
    field.Edit3->setText("0");
    field.Button1->click();
    EXPECT_FALSE(field.isVisible());
    EXPECT_FLOAT_EQ(Form1().State().field.FieldGain, 1.0f);
}

TEST_F(WindowTest, MirrorBoxesActAtOnceEvenOnCancel) {
    Start();
    Form1().DropFiles({"/d/a.plt"});
    TField& field = *windows->Field;
    field.show();
    field.FormActivate();
    const DrawingBounds before = Form1().State().drawing.Bounds;
    field.CheckBox1->setChecked(true);
    field.CheckBox3->setChecked(true); // from code, as a click would
    field.Button2->click();
    EXPECT_FALSE(field.isVisible());
    EXPECT_TRUE(Form1().State().field.XInvert);
    EXPECT_TRUE(Form1().State().field.XYFlip);
    EXPECT_EQ(Form1().State().drawing.Bounds.MinX, before.MinY);
    field.CheckBox3->setChecked(false);
    EXPECT_EQ(Form1().State().drawing.Bounds.MinX, before.MinX);
}

TEST_F(WindowTest, FieldWindowOnA3DBoard) {
    library.hex_version = 3100;
    Start();
    Form1().State().parameters.ZCalibration = 100;
    TField& field = *windows->Field;
    field.FormActivate();
    EXPECT_TRUE(field.Edit4->isEnabled());
    EXPECT_EQ(field.Edit4->text(), "0.00");
    EXPECT_EQ(field.Label6->text(), "100");
    field.Edit4->setText("320");
    field.Button1->click();
    EXPECT_EQ(Form1().State().parameters.ZPosition, 320);
}

} // namespace
} // namespace ondrel::fakes
