#include "laser_dialog.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "settings_round_trip.h"

namespace ondrel {
namespace {

using fakes::RecordingNotifier;
using E = LaserEdit;

double Stored(const Parameters& p, LaserEdit edit) {
    switch (edit) {
    case E::StandByPeriod: return p.StandByPeriod;
    case E::StandByPulseWidth: return p.StandByPulseWidth;
    case E::LaserOutputPeriod: return p.LaserOutputPeriod;
    case E::Laser1PulseWidth: return p.Laser1PulseWidth;
    case E::Laser2PulseWidth: return p.Laser2PulseWidth;
    case E::FirstPulseKillerLength: return p.FirstPulseKillerLength;
    case E::DigitalAnalogConverter1: return p.DigitalAnalogConverter1;
    case E::LampDelay: return p.LampDelay;
    case E::EightBitPort: return p.EightBitPort;
    }
    return -1;
}

constexpr double kRejected = -1;

TEST(LaserDialog, EachFieldsBoundsAndSteps) {
    const struct {
        std::uint16_t mode;
        LaserEdit edit;
        const char* text;
        double stored; // kRejected: the default stays
    } cases[] = {
        {0, E::StandByPeriod, "8190.9", 8191},     {0, E::StandByPeriod, "8191", kRejected},
        {0, E::StandByPeriod, "-3.1", 3},          {0, E::StandByPeriod, "0", 0},
        {0, E::StandByPeriod, "x", kRejected},     {0, E::StandByPeriod, "1e400", kRejected},
        {0, E::StandByPulseWidth, "0.0625", 0},    {0, E::StandByPulseWidth, "0.1875", 0.25},
        {0, E::StandByPulseWidth, "-8191", kRejected},
        {0, E::LaserOutputPeriod, "100.1", 100},   {0, E::LaserOutputPeriod, "100.375", 100.5},
        {0, E::LaserOutputPeriod, "0.5", kRejected}, {0, E::LaserOutputPeriod, "0.9", kRejected},
        {0, E::LaserOutputPeriod, "0.91", 1},      {0, E::LaserOutputPeriod, "16370", kRejected},
        {0, E::LaserOutputPeriod, "16369.9", 16370}, {0, E::LaserOutputPeriod, "-50", 50},
        {0, E::Laser1PulseWidth, "5.06", 5.0},     {0, E::Laser1PulseWidth, "5.07", 5.125},
        {0, E::Laser1PulseWidth, "0.1", kRejected}, {0, E::Laser1PulseWidth, "0.24", kRejected},
        {0, E::Laser1PulseWidth, "0.2401", 0.25},  {0, E::Laser1PulseWidth, "8190.95", 8191},
        {0, E::Laser2PulseWidth, "0", kRejected},  {0, E::Laser2PulseWidth, "8191", kRejected},
        {0, E::Laser2PulseWidth, "-2.3", 2.25},
        {1, E::FirstPulseKillerLength, "8190.95", 8191}, {1, E::FirstPulseKillerLength, "x", kRejected},
        {1, E::FirstPulseKillerLength, "0", 0},
        // A field the mode disables: a bad value is replaced, a good one stored.
        {2, E::Laser2PulseWidth, "", 1.0},         {2, E::Laser2PulseWidth, "0", 1.0},
        {2, E::Laser2PulseWidth, "3", 3},          {0, E::FirstPulseKillerLength, "x", 0.0},
        {0, E::FirstPulseKillerLength, "8191", 0.0}, {0, E::FirstPulseKillerLength, "7.1", 7.125},
        {0, E::DigitalAnalogConverter1, "150", 100}, {0, E::DigitalAnalogConverter1, "-30", 30},
        {0, E::DigitalAnalogConverter1, "33.33", 33.3}, {0, E::DigitalAnalogConverter1, "33.36", 33.4},
        {0, E::DigitalAnalogConverter1, "1e300", 100}, {0, E::DigitalAnalogConverter1, "", kRejected},
        {0, E::DigitalAnalogConverter1, "1e400", kRejected},
        {0, E::LampDelay, "64999.6", 65000},       {0, E::LampDelay, "65000", kRejected},
        {0, E::LampDelay, "-3", 3},                {0, E::LampDelay, "2.5", 2},
        {0, E::EightBitPort, "255.4", 255},        {0, E::EightBitPort, "-255", 255},
        {0, E::EightBitPort, "255.5", kRejected},  {0, E::EightBitPort, "255.6", kRejected}, // 256 would not fit
        {0, E::EightBitPort, "256", kRejected},    {0, E::EightBitPort, "0x10", kRejected},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " field " << static_cast<int>(c.edit) << " \""
                                        << c.text << "\"");
        Parameters p;
        const Parameters defaults = p;
        RecordingNotifier notifier;
        LaserDialogTexts texts = FillLaserDialog(p);
        texts.Mode = c.mode;
        texts.edits[c.edit] = c.text;
        const LaserAcceptResult r = AcceptLaserDialog(texts, p, notifier);
        const bool accepted = c.stored != kRejected;
        EXPECT_EQ(r.Accepted(), accepted);
        EXPECT_EQ(notifier.beeps, accepted ? 0 : 1);
        EXPECT_EQ(Stored(p, c.edit), accepted ? c.stored : Stored(defaults, c.edit));
        if (!accepted) {
            EXPECT_EQ(r.focus, c.edit);
        }
        EXPECT_EQ(p.LaserMode, c.mode);
    }
}

TEST(LaserDialog, ModeStoredWhateverFollowsAndTheLastRejectedHoldsTheFocus) {
    Parameters p;
    RecordingNotifier notifier;
    LaserDialogTexts texts = FillLaserDialog(p);
    texts.Mode = 3;
    texts.edits[E::StandByPeriod] = "x";
    texts.edits[E::LaserOutputPeriod] = "12.3";
    texts.edits[E::LampDelay] = "";
    texts.edits[E::Laser2PulseWidth] = "y"; // disabled in a YAG mode
    const LaserAcceptResult r = AcceptLaserDialog(texts, p, notifier);
    EXPECT_EQ(r.rejected, (std::vector<LaserEdit>{E::StandByPeriod, E::LampDelay}));
    EXPECT_EQ(r.focus, E::LampDelay);
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_EQ(p.LaserMode, 3);
    EXPECT_EQ(p.LaserOutputPeriod, 12.25);
    EXPECT_EQ(p.Laser2PulseWidth, 1.0);
    EXPECT_TRUE(notifier.boxes.empty());
}

TEST(LaserDialog, ModesEnableTheirFields) {
    EXPECT_TRUE(EnablingForMode(0).Laser2PulseWidth);
    EXPECT_FALSE(EnablingForMode(0).FirstPulseKillerLength);
    for (std::uint16_t mode = 1; mode <= 4; ++mode) {
        EXPECT_FALSE(EnablingForMode(mode).Laser2PulseWidth);
        EXPECT_TRUE(EnablingForMode(mode).FirstPulseKillerLength);
    }
}

TEST(LaserDialog, FillShowsTheShortestForms) {
    Parameters p;
    p.LaserMode = 2;
    p.StandByPeriod = 12.25;
    p.Laser1PulseWidth = 0.125;
    p.DigitalAnalogConverter1 = 33.4;
    p.LampDelay = 65000;
    p.EightBitPort = 255;
    const LaserDialogTexts texts = FillLaserDialog(p);
    EXPECT_EQ(texts.Mode, 2);
    EXPECT_EQ(texts.edits.texts,
              (std::array<std::string, kLaserEditCount>{"12.25", "0", "100", "0.125", "5", "5", "33.4", "65000", "255"}));
}

TEST(LaserDialog, EveryValueAcceptStoresReadsBackUnchanged) {
    const struct {
        std::uint16_t mode;
        std::array<std::string, kLaserEditCount> texts;
    } cases[] = {
        {4, {"8190.9", "8190.99", "16369.9", "8190.99", "8190.99", "8190.99", "150", "64999.6", "255.4"}},
        {0, {"0", "0", "0.91", "0.2401", "0.2401", "0", "0", "0", "0"}},
        {0, {"-0.1", "0.0624", "12.3", "5.07", "0.3", "x", "33.33", "1.5", "0.5"}},
        {1, {"3.125", "2.9375", "100.375", "33.33", "", "0.0625", "33.35", "60000.5", "-1"}},
    };
    for (const auto& c : cases) {
        Parameters p;
        RecordingNotifier notifier;
        LaserDialogTexts texts;
        texts.Mode = c.mode;
        texts.edits.texts = c.texts;
        ASSERT_TRUE(AcceptLaserDialog(texts, p, notifier).Accepted()) << c.texts[0];
        fakes::ExpectReadsBackUnchanged(p);
    }
}

} // namespace
} // namespace ondrel
