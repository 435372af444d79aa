// The HP-GL interpreter: reads a plot's two-letter commands and their parameters and turns
// them into pen moves, which fill the drawing's vector records and bounds.
#pragma once

#include <string>
#include <string_view>

#include "label_font.h"
#include "line_types.h"
#include "pen_path.h"
#include "plot_error.h"
#include "plot_reader.h"
#include "vector_emission.h"
#include "vector_stream.h"

namespace ondrel {

class HpglInterpreter {
public:
    HpglInterpreter(std::string_view text, Drawing& drawing, const PlotLimits& limits);

    // Interprets the whole text: clears the records, starts the bounds at start and widens
    // them by every drawn line. Throws PlotFailure (naming the command) for a malformed plot
    // or one that runs out of work, and PlotLimitExceeded when it holds more records than
    // the limits allow; the drawing is then partial.
    void ParsePlotFile(DrawingBounds start);

private:
    void ExecutePlotCommand(int first);
    void RunCommand(Mnemonic command);
    void SetPlotDefaults();
    void SkipDeviceControl();

    // Parameters: true when a number was read.
    bool Read(float& value) { return reader_.ReadParameter(value) == PlotReader::NumberRead; }
    float ReadChordAngle();

    PlotPoint UserToPlotter(PlotPoint p) const;
    PlotPoint PlotterToUser(PlotPoint p) const;
    // A pen move in the current coordinates (user units while scaling is on).
    void MovePen(int pen, PlotPoint p) { pen_.MovePen(pen, scaling_ ? UserToPlotter(p) : p); }
    void UpdateFactors();

    // Geometry commands.
    void InputP1P2();
    void Scale();
    void PlotPoints();
    void DrawArc(bool relative);
    void ArcPoint(PlotPoint centre, float r, float angle);
    void DrawCircle();
    void UseAdaptivePattern(float r, float chord);
    void EdgeRectangle();
    void DrawTick(bool xTick);
    void TickLength();
    void SelectLineType();

    // Label commands.
    void ReadLabelText();
    void Label();
    void SetTerminator();
    void SymbolMode();
    void LabelOrigin();
    void LabelDirection(bool relative);
    void CharacterSize(bool relative);
    void CharacterSlant();
    void ExtraSpace();
    void CharacterPlot();

    PlotReader reader_;
    Drawing& drawing_;
    VectorEmitter emitter_;
    LineTypes lineTypes_;
    PenPath pen_;
    LabelWriter label_;

    Mnemonic reported_ = 0; // the command named in an error
    bool penDown_ = false;
    bool relative_ = false;
    PlotPoint current_{};
    PlotPoint p1_{}, p2_{};
    bool scaling_ = false;
    float xmin_ = 0, ymin_ = 0, xmax_ = 0, ymax_ = 0;
    // Plotter units per user unit. IP sets them whether scaling is on or off, and the
    // ticks divide by them in either case.
    float fx_ = 1, fy_ = 1;
    float diagonal_ = 0;
    float tickPlus_ = 0, tickMinus_ = 0;
    int terminator_ = 3;
    unsigned char symbol_ = 0;
    std::string labelBuffer_;
};

} // namespace ondrel
