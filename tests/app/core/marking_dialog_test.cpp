#include "marking_dialog.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "settings_round_trip.h"

namespace ondrel {
namespace {

using fakes::RecordingNotifier;
using E = MarkingEdit;

double Stored(const Parameters& p, MarkingEdit edit) {
    switch (edit) {
    case E::JumpSpeed: return p.JumpSpeed;
    case E::MarkSpeed: return p.MarkSpeed;
    case E::LaserOnDelay: return p.LaserOnDelay;
    case E::LaserOffDelay: return p.LaserOffDelay;
    case E::JumpDelay: return p.JumpDelay;
    case E::MarkDelay: return p.MarkDelay;
    case E::PolyDelay: return p.PolyDelay;
    case E::EdgeLevel: return p.EdgeLevel;
    case E::WobbelFreq: return p.WobbelFreq;
    case E::WobbelAmpl: return p.WobbelAmpl;
    case E::Scans: return p.Scans;
    case E::LaserOnShift: return p.LaserOnShift;
    case E::MinJumpDelay: return p.MinJumpDelay;
    case E::JumpLengthLimit: return p.JumpLengthLimit;
    }
    return -1;
}

// The window as filled from the defaults, with some fields typed over.
MarkingDialogTexts Typed(const ConverterState& state, std::initializer_list<std::pair<MarkingEdit, const char*>> typed) {
    MarkingDialogTexts texts = FillMarkingDialog(state);
    for (const auto& [edit, text] : typed) texts.edits[edit] = text;
    return texts;
}

// Records the warnings and the beep in one sequence.
class SequenceNotifier : public Notifier {
public:
    void Show(MessageKind kind, const std::string& text) override {
        events.push_back((kind == MessageKind::Warning ? "warning " : "box ") + text);
    }
    void Beep() override { events.push_back("beep"); }
    std::vector<std::string> events;
};

TEST(MarkingDialog, EachFieldsBoundsAndSteps) {
    const struct {
        MarkingEdit edit;
        const char* text;
        double stored; // -1: rejected, the default stays
    } cases[] = {
        {E::JumpSpeed, "1", 1},          {E::JumpSpeed, "0.51", 1},
        {E::JumpSpeed, "0.5", -1},       {E::JumpSpeed, "0.2", -1}, // would reach the board as 0
        {E::JumpSpeed, "0", -1},         {E::JumpSpeed, "-1", -1},
        {E::JumpSpeed, "50000.6", 50001}, {E::JumpSpeed, "50001", -1},
        {E::JumpSpeed, " 7", 7},         {E::JumpSpeed, "7 ", -1},
        {E::JumpSpeed, "", -1},          {E::JumpSpeed, "1e400", -1},
        {E::JumpSpeed, "1,5", -1},       {E::MarkSpeed, "0.3", -1},
        {E::MarkSpeed, "50000", 50000},  {E::MarkSpeed, "2.5", 2},
        {E::LaserOnDelay, "-8100", -8100}, {E::LaserOnDelay, "-8101", -1},
        {E::LaserOnDelay, "8100.6", 8101}, {E::LaserOnDelay, "-8100.7", -8101},
        {E::LaserOffDelay, "0", -1},     {E::LaserOffDelay, "0.3", -1}, // would be stored as 0
        {E::LaserOffDelay, "0.5", -1},   {E::LaserOffDelay, "0.6", 1},
        {E::LaserOffDelay, "8100.9", 8101}, {E::LaserOffDelay, "8101", -1},
        {E::JumpDelay, "25", 20},        {E::JumpDelay, "35", 40},
        {E::JumpDelay, "15", 20},        {E::JumpDelay, "5", 0},
        {E::JumpDelay, "0", 0},          {E::JumpDelay, "-0.01", -1},
        {E::JumpDelay, "32500.9", 32500}, {E::JumpDelay, "32501", -1},
        {E::MarkDelay, "32499", 32500},  {E::PolyDelay, "1e2", 100},
        {E::EdgeLevel, "70000", 65500},  {E::EdgeLevel, "65499", 65500},
        {E::EdgeLevel, "1e300", 65500},  {E::EdgeLevel, "-1", -1},
        {E::EdgeLevel, "abc", -1},       {E::EdgeLevel, "64", 60},
        {E::WobbelFreq, "1000.6", 1001}, {E::WobbelFreq, "1001", -1},
        {E::WobbelFreq, "-0.01", -1},    {E::WobbelAmpl, "5000.7", 5001},
        {E::WobbelAmpl, "5001", -1},     {E::Scans, "0", 0},
        {E::Scans, "-0.05", 0},          {E::Scans, "-0.1", -1},
        {E::Scans, "100.7", 101},        {E::Scans, "100.5", 100},
        {E::Scans, "101", -1},           {E::LaserOnShift, "-2.5", 2.5},
        {E::LaserOnShift, "1.3", 1.25},  {E::LaserOnShift, "0.0625", 0},
        {E::LaserOnShift, "0.1875", 0.25}, {E::LaserOnShift, "-100.99", 101},
        {E::LaserOnShift, "101", -1},    {E::LaserOnShift, "-101", -1},
        {E::MinJumpDelay, "-0.09", 0},   {E::MinJumpDelay, "-0.1", -1},
        {E::MinJumpDelay, "32500.6", 32501}, {E::MinJumpDelay, "32501", -1},
        {E::JumpLengthLimit, "123.5", 124}, {E::JumpLengthLimit, "32501", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "field " << static_cast<int>(c.edit) << " \"" << c.text << "\"");
        ConverterState state;
        const Parameters defaults = state.parameters;
        RecordingNotifier notifier;
        MarkingDialogTexts texts = Typed(state, {{c.edit, c.text}});
        const MarkingAcceptResult r = AcceptMarkingDialog(texts, state, notifier);
        const bool accepted = c.stored != -1;
        EXPECT_EQ(r.Accepted(), accepted);
        EXPECT_EQ(notifier.beeps, accepted ? 0 : 1);
        EXPECT_EQ(Stored(state.parameters, c.edit), accepted ? c.stored : Stored(defaults, c.edit));
        if (!accepted) {
            EXPECT_EQ(r.focus, c.edit);
        }
    }
}

TEST(MarkingDialog, FillShowsTheStoredValues) {
    ConverterState state;
    state.parameters.LaserOnDelay = -50;
    state.parameters.LaserOnShift = 0.125;
    state.parameters.Scans = 0;
    state.parameters.UseDirectZMove = true;
    MarkingDialogTexts texts = FillMarkingDialog(state);
    EXPECT_EQ(texts.edits.texts, (std::array<std::string, kMarkingEditCount>{
                                     "1000", "100", "-50", "100", "500", "200", "100", "65500", "0", "0", "0",
                                     "0.125", "0", "0"}));
    EXPECT_FALSE(texts.VarPolyDelay);
    EXPECT_TRUE(texts.DirectZMove);
    EXPECT_EQ(texts.PolygonNote, "(default Polygon Table)");
    state.parameters.LaserOnShift = 2;
    state.PolygonTableLoaded = 1;
    texts = FillMarkingDialog(state);
    EXPECT_EQ(texts.edits[E::LaserOnShift], "2");
    EXPECT_EQ(texts.PolygonNote, "(loaded Polygon Table)");
}

TEST(MarkingDialog, BothSpeedsEmptyEveryOtherFieldAndTheBoxesStored) {
    ConverterState state;
    RecordingNotifier notifier;
    MarkingDialogTexts texts = Typed(state, {{E::JumpSpeed, ""}, {E::MarkSpeed, ""}, {E::JumpDelay, "35"},
                                             {E::JumpLengthLimit, "77"}});
    texts.VarPolyDelay = true;
    texts.DirectZMove = true;
    const MarkingAcceptResult r = AcceptMarkingDialog(texts, state, notifier);
    EXPECT_EQ(r.rejected, (std::vector<MarkingEdit>{E::JumpSpeed, E::MarkSpeed}));
    EXPECT_EQ(r.focus, E::MarkSpeed);
    EXPECT_EQ(notifier.beeps, 1);
    EXPECT_TRUE(notifier.boxes.empty());
    EXPECT_FALSE(r.refilled);
    EXPECT_EQ(texts.edits[E::JumpSpeed], ""); // without a warning the typed text stays
    const Parameters& p = state.parameters;
    EXPECT_EQ(p.JumpSpeed, 1000);
    EXPECT_EQ(p.MarkSpeed, 100);
    EXPECT_EQ(p.JumpDelay, 40);
    EXPECT_EQ(p.JumpLengthLimit, 77);
    EXPECT_TRUE(p.UseVarPolyDelay);
    EXPECT_TRUE(p.UseDirectZMove);
}

TEST(MarkingDialog, DelayWarningsInOrderAndNeverBlocking) {
    const struct {
        const char *on, *off, *mark, *edge;
        std::vector<std::string> events;
    } cases[] = {
        {"100", "100", "200", "65500", {}},
        {"300", "100", "200", "65500", {"warning LaserOnDelay > LaserOffDelay!"}},
        {"-50", "500", "200", "65500", {"warning MarkDelay + LaserOnDelay < LaserOffDelay!"}},
        {"-50", "500", "500", "490",  {"warning EdgeLevel + LaserOnDelay < LaserOffDelay!"}},
        {"100", "8000", "0", "0",
         {"warning MarkDelay + LaserOnDelay < LaserOffDelay!", "warning EdgeLevel + LaserOnDelay < LaserOffDelay!"}},
        // The delays checked are the stored ones: a rejected field counts with its old value.
        {"300", "x", "200", "65500", {"warning LaserOnDelay > LaserOffDelay!", "beep"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.on << " " << c.off << " " << c.mark << " " << c.edge);
        ConverterState state;
        SequenceNotifier notifier;
        MarkingDialogTexts texts = Typed(
            state, {{E::LaserOnDelay, c.on}, {E::LaserOffDelay, c.off}, {E::MarkDelay, c.mark}, {E::EdgeLevel, c.edge}});
        const MarkingAcceptResult r = AcceptMarkingDialog(texts, state, notifier);
        EXPECT_EQ(notifier.events, c.events);
        EXPECT_EQ(r.Accepted(), c.events.empty() || c.events.back() != "beep");
    }
}

TEST(MarkingDialog, AWarningRefillsTheWindowWithTheStoredValues) {
    ConverterState state;
    SequenceNotifier notifier;
    MarkingDialogTexts texts =
        Typed(state, {{E::LaserOnDelay, "300"}, {E::LaserOffDelay, "100"}, {E::JumpSpeed, "abc"}, {E::JumpDelay, "25"}});
    const MarkingAcceptResult r = AcceptMarkingDialog(texts, state, notifier);
    EXPECT_EQ(notifier.events, (std::vector<std::string>{"warning LaserOnDelay > LaserOffDelay!", "beep"}));
    EXPECT_TRUE(r.refilled);
    EXPECT_EQ(r.focus, E::JumpSpeed);
    EXPECT_EQ(texts, FillMarkingDialog(state));
    EXPECT_EQ(texts.edits[E::JumpSpeed], "1000");
    EXPECT_EQ(texts.edits[E::LaserOnDelay], "300");
    EXPECT_EQ(texts.edits[E::JumpDelay], "20");
}

TEST(MarkingDialog, EveryValueAcceptStoresReadsBackUnchanged) {
    const std::vector<std::pair<MarkingEdit, const char*>> extremes[] = {
        {{E::JumpSpeed, "50000.9"}, {E::MarkSpeed, "50000.9"}, {E::LaserOnDelay, "-8100.9"},
         {E::LaserOffDelay, "8100.9"}, {E::JumpDelay, "32500.9"}, {E::MarkDelay, "32500.9"},
         {E::PolyDelay, "32500.9"}, {E::EdgeLevel, "1e9"}, {E::WobbelFreq, "1000.9"}, {E::WobbelAmpl, "5000.9"},
         {E::Scans, "100.9"}, {E::LaserOnShift, "-100.99"}, {E::MinJumpDelay, "32500.9"},
         {E::JumpLengthLimit, "32500.9"}},
        {{E::JumpSpeed, "0.51"}, {E::MarkSpeed, "0.51"}, {E::LaserOnDelay, "8100.9"}, {E::LaserOffDelay, "0.51"},
         {E::JumpDelay, "0"}, {E::MarkDelay, "4.9"}, {E::PolyDelay, "5.1"}, {E::EdgeLevel, "0"},
         {E::WobbelFreq, "0"}, {E::WobbelAmpl, "0"}, {E::Scans, "0.6"}, {E::LaserOnShift, "0.06"},
         {E::MinJumpDelay, "-0.09"}, {E::JumpLengthLimit, "-0.09"}},
        {{E::LaserOnShift, "33.3"}, {E::Scans, "1.49"}, {E::LaserOnDelay, "-0.4"}},
    };
    for (const auto& typed : extremes) {
        ConverterState state;
        RecordingNotifier notifier;
        MarkingDialogTexts texts = FillMarkingDialog(state);
        for (const auto& [edit, text] : typed) texts.edits[edit] = text;
        texts.VarPolyDelay = texts.DirectZMove = true;
        ASSERT_TRUE(AcceptMarkingDialog(texts, state, notifier).Accepted());
        fakes::ExpectReadsBackUnchanged(state.parameters);
    }
}

} // namespace
} // namespace ondrel
