#include "drawing_export.h"

#include <charconv>

#include "field_transform.h"
#include "drawing_load.h"

namespace ondrel {
namespace {

// Appends text without the stream machinery: the export must keep up with large drawings.
class Text {
public:
    explicit Text(std::size_t expected) { out_.reserve(expected); }

    Text& operator<<(std::string_view s) {
        out_.append(s);
        return *this;
    }
    Text& operator<<(std::int16_t value) {
        char digits[8];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        out_.append(digits, end);
        return *this;
    }
    // Right-aligned in a field of seven characters, the sign counted in the width.
    void Field7(std::int16_t value) {
        char digits[8];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        out_.append(7 - static_cast<std::size_t>(end - digits), ' ');
        out_.append(digits, end);
    }
    std::string Take() { return std::move(out_); }

private:
    std::string out_;
};

constexpr std::string_view kLineEnd = "\r\n";

// The kind letters of the vector file; a kind above 4 has none.
constexpr std::string_view kKindLetters = "JMABC";

} // namespace

ExportFormat ExportFormatFor(const std::string& path) {
    return UpperExtension(path) == ".VL" ? ExportFormat::Vector : ExportFormat::HPGL;
}

std::string DrawingFileText(const Drawing& drawing, const FieldTransform& field, ExportFormat format) {
    const TransformCoefficients t = MakeTransform(drawing, field);
    Text text(static_cast<std::size_t>(drawing.VectorCount()) * 24 + 16);
    if (format == ExportFormat::HPGL) text << "IN;SP1;" << kLineEnd;
    for (const VectorRecord& r : drawing.VectorStream) {
        const auto [X, Y] = BoardBits(t, r.x, r.y);
        if (format == ExportFormat::Vector) {
            if (r.kind < kKindLetters.size()) text << kKindLetters.substr(r.kind, 1);
            text.Field7(X);
            text.Field7(Y);
            text << kLineEnd;
        } else if (r.kind == Jump) {
            text << "PU;PA" << X << "," << Y << ";PD;" << kLineEnd;
        } else {
            text << "PA" << X << "," << Y << ";" << kLineEnd;
        }
    }
    if (format == ExportFormat::HPGL) text << "SP0;" << kLineEnd;
    return text.Take();
}

void SaveHPGLFile(const ConverterState& state, FileChooser& chooser, FileSaver& saver, Notifier& notifier) {
    if (state.VectorCount() <= 0) return;
    const std::optional<std::string> path = chooser.Choose(FileDialogKind::SaveHPGL);
    if (!path) return;
    // The whole text first: a point out of range then leaves no file behind.
    const std::string text = DrawingFileText(state.drawing, state.field, ExportFormatFor(*path));
    if (!saver.Save(*path, text)) notifier.Show(MessageKind::Error, "Unable to create file!");
}

} // namespace ondrel
