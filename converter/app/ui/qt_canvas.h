// The drawing area's canvas: the view's drawing operations on an image of Format_RGB32.
//
// A redraw sends a line per record, so the canvas sets the pixels of its lines and points itself,
// exactly those one QPainter call per operation would set (see pixel_lines.h), and leaves only
// the clearing and the rectangles to QPainter. With one processor it draws each line as it
// comes. With more it collects the lines in batches and draws each batch on several threads
// while the next batch is being collected: they first plan the walks of its lines, shared out in
// slices, and then draw it in horizontal bands, each band taking the lines that reach it in
// order, so that where lines cross the last one drawn wins as on a painter. Drawing threads that
// cannot be started leave their share to those that did, or to the calling thread.
#pragma once

#include <atomic>
#include <barrier>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPoint>

#include "drawing_view.h"
#include "pixel_lines.h"

namespace ondrel {

// The processors the calling thread may run on (its affinity mask, as nproc counts them).
int UsableProcessors();

class QtCanvas : public Canvas {
public:
    // Starts a thread running `work`; throws std::system_error, as std::thread does, when the
    // system gives no more threads.
    using ThreadStart = std::function<std::thread(std::function<void()> work)>;
    static std::thread StartThread(std::function<void()> work) { return std::thread(std::move(work)); }

    // Draws on `threads` processors, at most 8: with one, each line as it comes on the calling
    // thread; with more, on drawing threads started here by `start`.
    QtCanvas(QImage& image, QColor background, int threads = UsableProcessors(), ThreadStart start = StartThread);
    ~QtCanvas() override; // draws what is still waiting

    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    void Clear() override;
    void SetPen(Rgb colour, PenStyle style) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void SetPixel(int x, int y, Rgb colour) override;

private:
    struct Line {
        int x1, y1, x2, y2;
        QRgb colour;
        bool dotted;
    };
    static constexpr std::size_t kCacheLine = 64;
    // Each batch, and what the collecting thread changes at every line, on cache lines of their
    // own: the drawing threads keep reading theirs.
    struct alignas(kCacheLine) Batch {
        std::vector<Line> lines;
        std::vector<LineWalk> walks;                   // of the lines
        std::vector<std::vector<std::uint32_t>> bands; // indexes into lines, by slice and band
        std::atomic<std::size_t> next_slice{0};        // the first slice of lines no thread plans yet
        std::atomic<std::size_t> next_band{0};         // the first band no thread draws yet
    };
    static constexpr std::size_t kBatchLines = 1 << 16;

    void Add(QPoint from, QPoint to, Rgb colour, bool dotted);
    void StartThreads();
    void StartDrawing(); // the batch collected so far
    void FinishDrawing();
    void DrawWaitingLines() {
        StartDrawing();
        FinishDrawing();
    }
    void Work(); // a drawing thread
    void Draw(Batch& batch) const;

    int width_, height_;
    QColor background_;
    QPainter painter_;
    PixelLines lines_;
    int threads_ = 1; // 1: each line drawn as it comes, without batches
    ThreadStart start_thread_;
    int band_shift_ = 0; // a band holds 1 << band_shift_ rows
    std::size_t bands_ = 1;
    Batch batches_[2];
    alignas(kCacheLine) int collecting_ = 0; // the batch being collected; the other one may be being drawn
    Rgb pen_colour_{0, 0, 0};
    PenStyle pen_style_ = PenStyle::Solid;
    QPoint pen_position_;

    // The drawing threads, each drawing every batch given to them.
    std::vector<std::thread> workers_;
    std::unique_ptr<std::barrier<>> planned_; // reached by each of them when the lines are planned
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    Batch* job_ = nullptr; // the batch being drawn
    std::uint64_t generation_ = 0; // of the batches given to them
    int busy_ = 0;                 // of them still drawing it
    bool quit_ = false;
};

} // namespace ondrel
