#include "qt_canvas.h"

#include <algorithm>
#include <system_error>

#include <sched.h>

namespace ondrel {
namespace {

constexpr int kMaxThreads = 8;
constexpr int kBandsPerThread = 2; // for the threads to share out uneven bands
constexpr int kMinBandRows = 32;
constexpr std::size_t kSliceLines = 4096; // lines planned at a time by one thread

QColor ToColor(Rgb c) { return QColor(c.r, c.g, c.b); }

} // namespace

int UsableProcessors() {
    cpu_set_t usable;
    CPU_ZERO(&usable);
    if (sched_getaffinity(0, sizeof usable, &usable) == 0) return CPU_COUNT(&usable);
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); // a mask beyond cpu_set_t
}

QtCanvas::QtCanvas(QImage& image, QColor background, int threads, ThreadStart start)
    : width_(image.width()),
      height_(image.height()),
      background_(background),
      painter_(&image),
      lines_(reinterpret_cast<QRgb*>(image.bits()), width_, height_,
             static_cast<int>(image.bytesPerLine() / sizeof(QRgb))),
      threads_(std::clamp(threads, 1, kMaxThreads)),
      start_thread_(std::move(start)) {
    if (threads_ == 1) return;
    // A drawing thread for each processor (the thread that collects the lines mostly waits), and
    // bands of a power of two rows, at least kMinBandRows, a few for each drawing thread.
    while ((1 << band_shift_) < kMinBandRows || (height_ - 1) >> band_shift_ >= kBandsPerThread * threads_)
        ++band_shift_;
    bands_ = static_cast<std::size_t>(std::max(height_ - 1, 0) >> band_shift_) + 1;
    for (Batch& batch : batches_) {
        batch.lines.reserve(kBatchLines);
        batch.bands.resize(kBatchLines / kSliceLines * bands_);
    }
    StartThreads();
}

// Starts no thread: the lines still being collected go to the drawing threads.
QtCanvas::~QtCanvas() {
    DrawWaitingLines();
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void QtCanvas::Clear() {
    DrawWaitingLines();
    painter_.fillRect(QRect(0, 0, width_, height_), background_);
}

void QtCanvas::SetPen(Rgb colour, PenStyle style) {
    pen_colour_ = colour;
    pen_style_ = style;
}

void QtCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    DrawWaitingLines();
    painter_.setPen(CanvasPen(ToColor(pen_colour_), pen_style_));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized());
}

void QtCanvas::MoveTo(int x, int y) { pen_position_ = QPoint(x, y); }

void QtCanvas::LineTo(int x, int y) {
    const QPoint from = pen_position_, to(x, y);
    pen_position_ = to;
    if (pen_style_ == PenStyle::DashDot) { // the view draws no such line; QPainter does it
        DrawWaitingLines();
        painter_.setPen(CanvasPen(ToColor(pen_colour_), pen_style_));
        painter_.drawLine(from, to);
    } else {
        Add(from, to, pen_colour_, pen_style_ == PenStyle::Dot);
    }
}

void QtCanvas::SetPixel(int x, int y, Rgb colour) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) Add(QPoint(x, y), QPoint(x, y), colour, false);
}

void QtCanvas::Add(QPoint from, QPoint to, Rgb colour, bool dotted) {
    if (lines_.BeyondOneBound(from.x(), from.y(), to.x(), to.y())) return;
    const Line line{from.x(), from.y(), to.x(), to.y(), qRgb(colour.r, colour.g, colour.b), dotted};
    if (threads_ == 1) return lines_.Draw(line.x1, line.y1, line.x2, line.y2, line.dotted, line.colour);
    if (!lines_.KeptByClip(line.x1, line.y1, line.x2, line.y2)) return; // not worth a place in the batch
    Batch& batch = batches_[collecting_];
    batch.lines.push_back(line);
    if (batch.lines.size() >= kBatchLines) StartDrawing();
}

// As many drawing threads as the system gives, up to one a band; with none, every line is drawn
// as it comes.
void QtCanvas::StartThreads() {
    const int wanted = std::min(threads_, static_cast<int>(bands_));
    workers_.reserve(static_cast<std::size_t>(wanted));
    try {
        while (static_cast<int>(workers_.size()) < wanted) workers_.push_back(start_thread_([this] { Work(); }));
    } catch (const std::system_error&) { // at a process or cgroup limit of threads
    }
    if (workers_.empty()) threads_ = 1;
    else planned_ = std::make_unique<std::barrier<>>(static_cast<std::ptrdiff_t>(workers_.size()));
}

void QtCanvas::StartDrawing() {
    FinishDrawing();
    Batch& batch = batches_[collecting_];
    if (batch.lines.empty()) return;
    if (batch.walks.size() < batch.lines.size()) batch.walks.resize(batch.lines.size());
    batch.next_slice = 0;
    batch.next_band = 0;
    {
        const std::lock_guard lock(mutex_);
        job_ = &batch;
        busy_ = static_cast<int>(workers_.size());
        ++generation_;
    }
    wake_.notify_all();
    collecting_ ^= 1;
}

void QtCanvas::FinishDrawing() {
    if (!job_) return;
    {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return busy_ == 0; });
        job_ = nullptr;
    }
    Batch& drawn = batches_[collecting_ ^ 1];
    for (std::size_t i = 0; i < (drawn.lines.size() + kSliceLines - 1) / kSliceLines * bands_; ++i) drawn.bands[i].clear();
    drawn.lines.clear();
}

void QtCanvas::Work() {
    for (std::uint64_t seen = 0;;) {
        Batch* batch = nullptr;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return quit_ || generation_ != seen; });
            if (quit_) return;
            seen = generation_;
            batch = job_;
        }
        Draw(*batch);
        const std::lock_guard lock(mutex_);
        if (--busy_ == 0) done_.notify_one();
    }
}

void QtCanvas::Draw(Batch& batch) const {
    const std::size_t slices = (batch.lines.size() + kSliceLines - 1) / kSliceLines;
    for (std::size_t slice; (slice = batch.next_slice++) < slices;) {
        for (std::size_t i = slice * kSliceLines; i < std::min(batch.lines.size(), (slice + 1) * kSliceLines); ++i) {
            const Line& line = batch.lines[i];
            const LineWalk& walk = batch.walks[i] = lines_.Plan(line.x1, line.y1, line.x2, line.y2, line.dotted);
            if (walk.from >= walk.to) continue;
            // The rows it reaches, from its first pixel and its last.
            const int along1 = walk.first + walk.from, along2 = walk.first + walk.to - 1;
            const auto across1 = static_cast<int>((walk.across + walk.from * walk.inc) >> 16);
            const auto across2 = static_cast<int>((walk.across + (walk.to - 1) * walk.inc) >> 16);
            const int top = walk.steep ? along1 : std::min(across1, across2);
            const int bottom = walk.steep ? along2 : std::max(across1, across2);
            for (int band = top >> band_shift_; band <= bottom >> band_shift_; ++band)
                batch.bands[slice * bands_ + static_cast<std::size_t>(band)].push_back(static_cast<std::uint32_t>(i));
        }
    }
    planned_->arrive_and_wait();
    for (std::size_t band; (band = batch.next_band++) < bands_;) {
        const int top = static_cast<int>(band) << band_shift_;
        for (std::size_t slice = 0; slice < slices; ++slice) {
            for (const std::uint32_t index : batch.bands[slice * bands_ + band])
                lines_.Draw(batch.walks[index], batch.lines[index].colour, top, top + (1 << band_shift_));
        }
    }
}

} // namespace ondrel
