// The HP-GL interpreter: command forms, coordinates and scaling, arcs and circles, edge
// rectangles, ticks, escape sequences and the errors a plot can raise.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "plot_test_support.h"

namespace ondrel {
namespace {

using testing::ExpectPlotPoints;
using testing::ExpectPoints;
using testing::Kinds;
using testing::LoadPlot;
using testing::PlotMessage;

TEST(HpglInterpreter, CommandFormsPlotTheSame)
{
    const char* forms[] = {
        "pa10,20;PD30,40;",
        "PA 10 20 PD 30 40",
        "PA10,20PD30,40",
        "Pa10\r\n20;pD30 , 40;",
    };
    for (const char* form : forms) {
        const auto loaded = LoadPlot(form);
        ASSERT_TRUE(loaded.result.Loaded()) << form;
        EXPECT_EQ(Kinds(loaded.drawing), "JM") << form;
        ExpectPoints(loaded.drawing, {{10, 20}, {30, 40}});
    }
}

TEST(HpglInterpreter, CoordinatesAndScaling)
{
    ExpectPlotPoints({
        {"PD;PA10-20;", {{10, -20}}},                              // a sign starts the next number
        {"IN;PR10,10;PD0,0;", {{13.1415927f, 13.1415927f}, {13.1415927f, 13.1415927f}}},
        {"SC0,100,0,100;PD50,50;", {{5603, 4121}}},
        {"IP0,0;SC0,100,0,100;PD100,100;", {{10000, 7200}}},       // P2 follows P1
        {"IP100,200,1100,1200;SC0,10,0,10;PD5,5;", {{600, 700}}},
        {"SC0,100,0,100;SC;PD50,50;", {{50, 50}}},                // SC; turns scaling off
        // After IP the position, held in plotter units, is converted as such when SC starts
        // scaling: (100, 100) is user (1, 1.3889); +10 each is plotter (1100, 820).
        {"IP0,0,10000,7200;PA100,100;SC0,100,0,100;PD;PR10,10;", {{100, 100}, {1100, 820}}},
        {"SC0,100,0,100;PA10,10;SC;PD;PR100,0;", {{1603, 1241}, {1703, 1241}}},
    }, 1e-2f);
}

TEST(HpglInterpreter, BoundsCoverDrawnLinesOnly)
{
    const auto loaded = LoadPlot("PU0,0;PU-500,-500;PD10,10,20,5;PU999,999;");
    const DrawingBounds& b = loaded.drawing.Bounds;
    EXPECT_EQ(Kinds(loaded.drawing), "JAC");
    // Bounds come before the frame computation's scale; the box is -500..20 by -500..10.
    EXPECT_EQ(b.MinX, -500);
    EXPECT_EQ(b.MaxX, 20);
    EXPECT_EQ(b.MinY, -500);
    EXPECT_EQ(b.MaxY, 10);
    EXPECT_FLOAT_EQ(loaded.drawing.DrawingScale, 65530.0f / 520.0f);
}

TEST(HpglInterpreter, AnEmptyPlotLoadsWithNoRecords)
{
    for (const char* plot : {"", "IN;SP1;PU100,100;", "AF;AH;OP;PG;XX12,13;", "\x1a PD10,10"}) {
        const auto loaded = LoadPlot(plot);
        EXPECT_TRUE(loaded.result.Loaded()) << plot;
        EXPECT_EQ(loaded.drawing.VectorCount(), 0) << plot;
        EXPECT_EQ(loaded.field.FieldOffsetX, 0);
    }
}

// Points on a circle of radius 100 about the origin at the given angles in degrees.
std::vector<DrawingPoint> OnCircle(std::initializer_list<double> degrees)
{
    std::vector<DrawingPoint> points;
    for (double d : degrees) {
        const double a = d * 3.14159265358979323846 / 180;
        points.push_back({static_cast<float>(100 * std::cos(a)), static_cast<float>(100 * std::sin(a))});
    }
    return points;
}

TEST(HpglInterpreter, ArcsStepByTheChordAngle)
{
    ExpectPlotPoints({
        {"PA100,0;PD;AA0,0,100,30;", OnCircle({0, 30, 60, 90, 100})},
        {"PA100,0;PD;AA0,0,20,30;", OnCircle({0, 20})},
        {"PA100,0;PD;AA0,0,-100,30;", OnCircle({0, -30, -60, -90, -100})},
        {"PA100,0;PD;AR-100,0,90,45;", OnCircle({0, 45, 90})},
        {"PA0,100;PD;AA0,0,12;", OnCircle({90, 95, 100, 102})}, // 5 degrees when absent
        // Pen up: the arc is only passed; the next draw starts at its end.
        {"PA100,0;AA0,0,90,45;PD0,0;", {{0, 100}, {0, 0}}},
    }, 2e-3f);
}

TEST(HpglInterpreter, CircleClosesWithoutASeparateFullTurnPoint)
{
    const auto loaded = LoadPlot("PA500,500;CI100,90;PD510,500;");
    EXPECT_EQ(Kinds(loaded.drawing), "JABBCJM");
    ExpectPoints(loaded.drawing,
                 {{600, 500}, {500, 600}, {400, 500}, {500, 400}, {600, 500}, {500, 500}, {510, 500}}, 1e-3f);
}

TEST(HpglInterpreter, EdgeRectanglesAndTicks)
{
    struct Case {
        const char* plot;
        const char* kinds;
        std::vector<DrawingPoint> points;
    } cases[] = {
        {"PA10,10;EA20,30;", "JABBC", {{10, 10}, {10, 30}, {20, 30}, {20, 10}, {10, 10}}},
        {"PA1000,1000;XT;", "JM", {{1000, 964}, {1000, 1036}}},
        {"PA1000,1000;YT;", "JM", {{950, 1000}, {1050, 1000}}},
        {"PA1000,1000;TL2,1;XT;", "JM", {{1000, 928}, {1000, 1144}}},
        {"PA1000,1000;TL2;YT;", "JM", {{1000, 1000}, {1200, 1000}}},
        // IP sets the factors with scaling off as well, and the tick divides by them.
        {"IP0,0,5000,3600;PA1000,1000;XT;", "JM", {{1000, 964}, {1000, 1036}}},
        {"IP0,0,5000,3600;PA1000,1000;YT;", "JM", {{950, 1000}, {1050, 1000}}},
        // Scaled: the tick keeps its length in plotter units.
        {"SC0,100,0,100;PA10,10;XT;", "JM", {{1603, 1241 - 36}, {1603, 1241 + 36}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plot);
        const auto loaded = LoadPlot(c.plot);
        ASSERT_TRUE(loaded.result.Loaded()) << loaded.result.Message;
        EXPECT_EQ(Kinds(loaded.drawing), c.kinds);
        ExpectPoints(loaded.drawing, c.points, 1e-2f);
    }
}

TEST(HpglInterpreter, EscapeSequencesAndEndOfInput)
{
    ExpectPlotPoints({
        {"\x1b.I81;PD5,5:PD10,10;", {{10, 10}}}, // skipped up to and including the ':'
        {"\x1b.BPD10,10;", {{10, 10}}},          // only ESC . B
        {"\x1bPD10,10;PD7,7;", {{7, 7}}},         // ESC takes the P, D10,10 is no command
        {"PD10,10;\x1aPD20,20;", {{10, 10}}},    // 0x1A ends the plot
        {"PD10,10\x1b.@", {{10, 10}}},
    }, 0);
}

TEST(HpglInterpreter, DefaultsMidPlotKeepThePendingPenMove)
{
    // The line after IN starts where the pen was lifted to, not at the last drawn point.
    const auto loaded = LoadPlot("PD100,100;PU500,500;IN;PD600,600;");
    EXPECT_EQ(Kinds(loaded.drawing), "MJM");
    ExpectPoints(loaded.drawing, {{100, 100}, {500, 500}, {600, 600}});
}

TEST(HpglInterpreter, MalformedPlotsReportTheCommandAndReason)
{
    struct Case {
        const char* plot;
        const char* command;
        const char* reason;
    } cases[] = {
        {"PA1E3,5;", "PA", "No second parameter"},
        {"PD10;", "PA", "No second parameter"},
        {"PU10;", "PA", "No second parameter"},
        {"PR10;", "PA", "No second parameter"},
        {"EA10;", "EA", "No second parameter"},
        {"AA10;", "AA", "No second parameter"},
        {"AA10,10;", "AA", "No third parameter"},
        {"AR10,10;", "AA", "No third parameter"},
        {"PA1,0;AA0,0,90,1.2.3;", "AA", "Internal error"},
        {"PA1,0;AR0,0,90,-;", "AA", "Internal error"},
        {"CI10,1..;", "CI", "Internal error"},
        {"IP1;", "IP", "No second parameter"},
        {"IP1,2,3;", "IP", "No fourth parameter"},
        {"SC0;", "SC", "No second parameter"},
        {"SC0,1;", "SC", "No third parameter"},
        {"SC0,1,0;", "SC", "No fourth parameter"},
        {"DI0,0;", "DI", "Illegal parameters"},
        {"DR1;", "DR", "No second parameter"},
        {"SI0,1;", "SI", "Illegal parameters"},
        {"SR1,0;", "SR", "Illegal parameters"},
        {"SR1;", "SR", "No second parameter"},
        {"ES1;", "ES", "No second parameter"},
        {"CP1;", "CP", "No second parameter"},
        // Inputs that would divide by zero, hang or run out of range.
        {"SC5,5,0,1;", "SC", "Illegal parameters"},
        {"SC0,1,3,3;", "SC", "Illegal parameters"},
        {"IP5,5,5,9;", "IP", "Illegal parameters"},
        {"IP5,5,9,5;", "IP", "Illegal parameters"},
        {"PA1,0;AA0,0,90,0;", "AA", "Illegal parameters"},
        {"PA1,0;AA0,0,90,-5;", "AA", "Illegal parameters"},
        {"CI10,0;", "CI", "Illegal parameters"},
        {"PA1,0;AA0,0,1000000000000000000000000000000;", "AA", "Illegal parameters"},
        {"PA1,0;AA0,0,100000000,0.001;", "AA", "Illegal parameters"},
        {"LT2,0;", "LT", "Illegal parameters"},
        {"SC0,.000000000000000000000000001,0,1;PD9999999999999999999999999999999,0;", "PA",
         "Illegal parameters"},
        {"SC0,.000000000000000000000000001,0,1;CI9999999999999999999999999999999;", "CI",
         "Illegal parameters"},
    };
    for (const Case& c : cases) {
        const auto loaded = LoadPlot(c.plot);
        EXPECT_EQ(loaded.result.Status, LoadStatus::PlotError) << c.plot;
        EXPECT_EQ(loaded.result.Message, PlotMessage(c.command, c.reason)) << c.plot;
    }
}

TEST(HpglInterpreter, LimitsEndTheLoadInsteadOfExhaustingMemoryOrTime)
{
    PlotLimits small;
    small.MaxRecords = 100;
    small.MaxSteps = 10000;
    std::string repeatedBlankLabel = "BL" + std::string(200, ' ') + "\x03";
    for (int i = 0; i < 100; ++i) repeatedBlankLabel += "PB";
    // Too many records is too many vectors; work without records is the plot error of the
    // command that ran out of it.
    const struct {
        std::string plot;
        const char* message;
    } cases[] = {
        {"PD;CI10,1;CI10,1;CI10,1;", "The drawing holds too many vectors!"},
        {"PA1,0;AA0,0,36000,0.1;", "Error in command  AA\rIllegal parameters"}, // pen-up arc steps
        {"PA1,0;AR-1,0,36000,0.1;PD2,0;", "Error in command  AA\rIllegal parameters"},
        {"LT2,0.0001;PD;PA0,0,100000,0;", "The drawing holds too many vectors!"}, // a tiny pattern
        {"LT-3,0.0001;PD;PA0,0,100000,0;", "The drawing holds too many vectors!"}, // stretched
        {repeatedBlankLabel, "Error in command  PB\rIllegal parameters"}, // pen moves, no records
    };
    for (const auto& c : cases) {
        const auto loaded = LoadPlot(c.plot, small);
        EXPECT_EQ(loaded.result.Status, c.message[0] == 'T' ? LoadStatus::TooManyVectors : LoadStatus::PlotError)
            << c.plot;
        EXPECT_EQ(loaded.result.Message, c.message) << c.plot;
    }
}

TEST(HpglInterpreter, AFailedLoadLeavesDrawingAndOffsetsAsTheyWere)
{
    Drawing drawing;
    FieldTransform field;
    field.FieldOffsetX = 32000;
    ASSERT_TRUE(LoadHPGLText("PA0,0;PD1000,1000;", drawing, field).Loaded());
    const float clamped = field.FieldOffsetX;
    EXPECT_LT(clamped, 32000);
    field.FieldOffsetX = 32000;

    const LoadResult failed = LoadHPGLText("PA0,0;PD5,5,9,9,10;", drawing, field);
    EXPECT_EQ(failed.Status, LoadStatus::PlotError);
    EXPECT_EQ(drawing.VectorCount(), 2);
    EXPECT_EQ(drawing.VectorStream[1].x, 1000);
    EXPECT_EQ(drawing.Bounds.MaxX, 1000);
    EXPECT_EQ(field.FieldOffsetX, 32000);
}

TEST(HpglInterpreter, FlippedFieldExchangesBoundsAfterLoading)
{
    Drawing drawing;
    FieldTransform field;
    field.XYFlip = true;
    ASSERT_TRUE(LoadHPGLText("PA0,0;PD100,0,100,300;", drawing, field).Loaded());
    EXPECT_EQ(drawing.Bounds.MinX, 0);
    EXPECT_EQ(drawing.Bounds.MaxX, 300);
    EXPECT_EQ(drawing.Bounds.MaxY, 100);
    EXPECT_EQ(drawing.DrawingCenter.x, 150);
    EXPECT_EQ(drawing.DrawingCenter.y, 50);
    EXPECT_EQ(drawing.VectorStream[2].x, 100); // the records keep their x and y
    EXPECT_EQ(drawing.VectorStream[2].y, 300);
}

TEST(PlotLoading, MissingFilesCannotBeOpened)
{
    Drawing drawing;
    FieldTransform field;
    const LoadResult plot = LoadHPGLFile("/nonexistent/plot.plt", drawing, field);
    EXPECT_EQ(plot.Status, LoadStatus::CannotOpen);
    EXPECT_EQ(plot.Message, "Unable to open HPGL file!");
    const LoadResult vectors = LoadVectorFile("/", drawing, field);
    EXPECT_EQ(vectors.Status, LoadStatus::CannotOpen);
    EXPECT_EQ(vectors.Message, "Unable to open VELMORA file!");
}

} // namespace
} // namespace ondrel
