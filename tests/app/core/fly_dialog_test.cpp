#include "fly_dialog.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "settings_round_trip.h"

namespace ondrel {
namespace {

using fakes::RecordingNotifier;
using B = FlyBox;
using E = FlyEdit;

FlyBoxes Boxes(std::initializer_list<std::pair<FlyBox, bool>> sets) {
    FlyBoxes boxes;
    for (const auto& [box, checked] : sets) boxes.Set(box, checked);
    return boxes;
}

TEST(FlyDialog, BoxesKeepTheSimulationsExclusiveAndTheFieldsEnabled) {
    const struct {
        const char* what;
        FlyBoxes boxes;
        bool x, y;
        FlyEnabling enabling; // simulations, Kx, Ky, start delay
    } cases[] = {
        {"nothing", Boxes({}), false, false, {false, false, false, false}},
        {"on", Boxes({{B::EnableMOF, true}}), false, false, {true, true, true, false}},
        {"X unchecks Y", Boxes({{B::EnableMOF, true}, {B::SimulateEncoderY, true}, {B::SimulateEncoderX, true}}), true,
         false, {true, true, false, false}},
        {"Y unchecks X", Boxes({{B::EnableMOF, true}, {B::SimulateEncoderX, true}, {B::SimulateEncoderY, true}}), false,
         true, {true, false, true, false}},
        {"off keeps the states", Boxes({{B::EnableMOF, true}, {B::SimulateEncoderX, true}, {B::EnableMOF, false}}),
         true, false, {false, false, false, false}},
        {"external start while off", Boxes({{B::ExtStart, true}}), false, false, {false, false, false, false}},
        {"external start while on", Boxes({{B::ExtStart, true}, {B::EnableMOF, true}}), false, false,
         {true, true, true, true}},
        {"unchecking the simulation", Boxes({{B::EnableMOF, true}, {B::SimulateEncoderX, true},
                                             {B::SimulateEncoderX, false}}),
         false, false, {true, true, true, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.boxes.Checked(B::SimulateEncoderX), c.x);
        EXPECT_EQ(c.boxes.Checked(B::SimulateEncoderY), c.y);
        EXPECT_EQ(c.boxes.Enabling(), c.enabling);
    }
}

TEST(FlyDialog, FillRunsTheHandlersSoBothSimulationsShowAsY) {
    Parameters p;
    p.EnableMOF = true;
    p.SimulateEncoderX = p.SimulateEncoderY = true;
    p.Kx = -0.125;
    p.Ky = 1000.9;
    p.StartDelay = -500000;
    FlyDialogTexts texts = FillFlyDialog(p);
    EXPECT_FALSE(texts.boxes.Checked(B::SimulateEncoderX));
    EXPECT_TRUE(texts.boxes.Checked(B::SimulateEncoderY));
    EXPECT_EQ(texts.boxes.Enabling(), (FlyEnabling{true, false, true, false}));
    EXPECT_EQ(texts.edits.texts, (std::array<std::string, kFlyEditCount>{"-0.125", "1000.9", "-500000"}));

    RecordingNotifier notifier;
    ASSERT_TRUE(AcceptFlyDialog(texts, p, notifier).Accepted());
    EXPECT_FALSE(p.SimulateEncoderX);
    EXPECT_TRUE(p.SimulateEncoderY);
    EXPECT_EQ(p.Kx, -0.125);
}

TEST(FlyDialog, NumbersAcceptedRejectedOrZeroed) {
    const struct {
        bool mof;
        FlyEdit edit;
        const char* text;
        bool accepted;
        double stored; // the old value of 7 stays when rejected
    } cases[] = {
        {true, E::Kx, "-1000.5", true, -1000.5}, {true, E::Kx, "1000.999", true, 1000.999},
        {true, E::Kx, "1001", false, 7},         {true, E::Kx, "abc", false, 7},
        {false, E::Kx, "abc", true, 0},          {false, E::Kx, "1001", true, 0},
        {true, E::Ky, "-1001", false, 7},        {true, E::Ky, "1e400", false, 7},
        {false, E::Ky, "0.333333333333333", true, 0.333333333333333},
        {true, E::StartDelay, "-500000.4", true, -500000}, {true, E::StartDelay, "2.5", true, 2},
        {true, E::StartDelay, "-500000.5", true, -500000}, {true, E::StartDelay, "500001", false, 7},
        // 500001 would be shown and then refused, or turned into 0 once marking on the fly is off.
        {true, E::StartDelay, "500000.7", false, 7},       {true, E::StartDelay, "-500000.51", false, 7},
        {false, E::StartDelay, "", true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mof << " field " << static_cast<int>(c.edit) << " \"" << c.text << "\"");
        Parameters p;
        p.Kx = p.Ky = 7;
        p.StartDelay = 7;
        p.EnableMOF = c.mof;
        p.ExtStart = true; // every field enabled while marking on the fly is on
        FlyDialogTexts texts = FillFlyDialog(p);
        texts.edits[c.edit] = c.text;
        RecordingNotifier notifier;
        const FlyAcceptResult r = AcceptFlyDialog(texts, p, notifier);
        EXPECT_EQ(r.Accepted(), c.accepted);
        EXPECT_EQ(notifier.beeps, c.accepted ? 0 : 1);
        const double stored[] = {p.Kx, p.Ky, static_cast<double>(p.StartDelay)};
        EXPECT_EQ(stored[static_cast<int>(c.edit)], c.stored);
        if (!c.accepted) {
            EXPECT_EQ(r.focus, c.edit);
        }
    }
}

TEST(FlyDialog, ABadNumberInADisabledFieldKeepsTheWindowOpenWithoutTheFocus) {
    Parameters p;
    p.EnableMOF = true;
    p.Ky = 3;
    p.StartDelay = 9;
    FlyDialogTexts texts = FillFlyDialog(p);
    texts.edits[E::Kx] = "x";
    texts.edits[E::Ky] = "abc";
    texts.edits[E::StartDelay] = "y";             // disabled: no external start
    texts.boxes.Set(B::SimulateEncoderX, true); // disables Ky
    texts.boxes.Set(B::ExtStart, false);
    RecordingNotifier notifier;
    const FlyAcceptResult r = AcceptFlyDialog(texts, p, notifier);
    EXPECT_EQ(r.rejected, (std::vector<FlyEdit>{E::Kx, E::Ky, E::StartDelay}));
    EXPECT_EQ(r.focus, E::Kx);
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_EQ(p.Ky, 3);
    EXPECT_EQ(p.StartDelay, 9);
    EXPECT_TRUE(p.SimulateEncoderX); // the boxes are stored all the same

    texts.edits[E::Kx] = "1";
    const FlyAcceptResult again = AcceptFlyDialog(texts, p, notifier);
    EXPECT_FALSE(again.Accepted());
    EXPECT_FALSE(again.focus.has_value());
}

TEST(FlyDialog, BoxesStoredInTheirOrderEvenWhenOff) {
    Parameters p;
    FlyDialogTexts texts = FillFlyDialog(p);
    texts.boxes.Set(B::EnableMOF, true);
    texts.boxes.Set(B::SimulateEncoderY, true);
    texts.boxes.Set(B::EnableMOF, false);
    texts.boxes.Set(B::ExtStart, true);
    RecordingNotifier notifier;
    ASSERT_TRUE(AcceptFlyDialog(texts, p, notifier).Accepted());
    EXPECT_FALSE(p.EnableMOF);
    EXPECT_TRUE(p.SimulateEncoderY);
    EXPECT_FALSE(p.SimulateEncoderX);
    EXPECT_TRUE(p.ExtStart);
}

TEST(FlyDialog, EveryValueAcceptStoresReadsBackUnchanged) {
    const std::array<std::string, kFlyEditCount> cases[] = {
        {"-1000.99999999999", "1000.123456789012345", "-500000.5"},
        {"1e-300", "-0", "500000.4"},
        {"0.1", "-3.3333333333333335", "2.5"},
    };
    for (const auto& typed : cases) {
        Parameters p;
        p.EnableMOF = p.ExtStart = true;
        FlyDialogTexts texts = FillFlyDialog(p);
        texts.edits.texts = typed;
        RecordingNotifier notifier;
        ASSERT_TRUE(AcceptFlyDialog(texts, p, notifier).Accepted()) << typed[0];
        fakes::ExpectReadsBackUnchanged(p);
    }
}

} // namespace
} // namespace ondrel
