// Reads plot text one character at a time and scans the numeric parameters of commands.
// The input ends at the end of the text or at the first 0x1A byte.
#pragma once

#include <string_view>

namespace ondrel {

class PlotReader {
public:
    static constexpr int EndOfInput = -1;

    // Results of ReadParameter; every result above NumberRead means "no parameter".
    enum ParameterResult {
        NumberRead = 0,
        EndOfParameters = 1,
        EndOfText = 3,
        MalformedNumber = 11,
    };

    explicit PlotReader(std::string_view text);

    bool AtEnd() const { return pos_ == end_; }

    // The next byte (0..255), or EndOfInput.
    int ReadPlotChar() { return pos_ == end_ ? EndOfInput : static_cast<unsigned char>(*pos_++); }

    // Puts back the character just read.
    void PushBack() { --pos_; }

    // Skips separators up to the next number and reads it into value. A ';' is consumed and
    // ends the parameters; a letter or ESC ends them and stays unread. A number is a sign,
    // digit or '.' followed by digits and '.'; at most 31 characters of it count.
    int ReadParameter(float& value);

private:
    const char* pos_;
    const char* end_;
};

// Converts the text of one scanned number; false for text that is not a decimal number
// (a lone sign, two points).
bool ConvertPlotNumber(std::string_view text, float& value);

} // namespace ondrel
