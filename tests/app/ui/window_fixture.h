// The converter's windows over a fake board, a recording notifier and a scripted loader, with
// the program directory in a fresh temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>

#include "../core/fakes.h"
#include "../core/temp_dir.h"
#include "converter_windows.h"

namespace ondrel::fakes {

// Loads a drawing made by the test, or fails with the given message.
class ScriptedLoader : public DrawingLoader {
public:
    std::vector<std::string> paths;
    Drawing drawing;      // what a successful load produces
    std::string failure;  // non-empty: the load fails with this message

    LoadReport Load(DrawingFormat, const std::string& path, ConverterState& state) override {
        paths.push_back(path);
        if (!failure.empty()) return {false, failure};
        state.drawing = drawing;
        return {true, ""};
    }
};

class NoChooser : public FileChooser {
public:
    std::optional<std::string> answer;
    std::optional<std::string> Choose(FileDialogKind) override { return answer; }
};

// A square spiral of marks with a jump into it and a few single dots, in drawing units.
inline Drawing SpiralDrawing() {
    Drawing d;
    float x = 0, y = 0, step = 40;
    d.VectorStream.push_back({Jump, 0, 0});
    const float dirs[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (int i = 0; i < 40; ++i) {
        x += dirs[i % 4][0] * step;
        y += dirs[i % 4][1] * step;
        step += 40;
        d.VectorStream.push_back({static_cast<std::uint8_t>(i == 0 ? ChainStart : i == 39 ? ChainEnd : ChainMiddle), x, y});
    }
    for (int i = 0; i < 5; ++i) {
        d.VectorStream.push_back({Jump, -800.0f + 400 * i, -900});
        d.VectorStream.push_back({Single, -780.0f + 400 * i, -900});
    }
    d.Bounds = {-1000, 1000, -1000, 1000};
    for (const VectorRecord& r : d.VectorStream) {
        d.Bounds.MinX = std::min(d.Bounds.MinX, r.x);
        d.Bounds.MaxX = std::max(d.Bounds.MaxX, r.x);
        d.Bounds.MinY = std::min(d.Bounds.MinY, r.y);
        d.Bounds.MaxY = std::max(d.Bounds.MaxY, r.y);
    }
    d.DrawingCenter = {(d.Bounds.MinX + d.Bounds.MaxX) / 2, (d.Bounds.MinY + d.Bounds.MaxY) / 2};
    d.DrawingScale = 65530 / std::max(d.Bounds.MaxX - d.Bounds.MinX, d.Bounds.MaxY - d.Bounds.MinY);
    return d;
}

class WindowTest : public ::testing::Test {
protected:
    void Start(std::optional<std::string> commandLine = std::nullopt) {
        loader.drawing = SpiralDrawing();
        windows = std::make_unique<ConverterWindows>(ConverterServices{
            board, notifier, loader, chooser, good, fast, dir.Dir(), std::move(commandLine)});
        Form1().show();
        QApplication::processEvents();
    }
    void TearDown() override { windows.reset(); }

    TForm1& Form1() { return *windows->Form1; }
    // Paints the main window as the screen would.
    QImage Paint() { return Form1().grab().toImage(); }

    TempDir dir;
    FakeLibrary library;
    SharedBoard board{library, library.CheckPort()};
    RecordingNotifier notifier;
    ScriptedLoader loader;
    NoChooser chooser;
    OptimizeFunction good, fast;
    std::unique_ptr<ConverterWindows> windows;
};

} // namespace ondrel::fakes
