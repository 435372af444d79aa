#include "qt_canvas.h"

#include <algorithm>
#include <functional>

namespace ondrel {
namespace {

constexpr int kMaxThreads = 8;
constexpr int kBandsPerThread = 2; // for the threads to share out uneven bands
constexpr int kMinBandRows = 32;
constexpr std::size_t kSliceLines = 4096; // lines planned at a time by one thread

QColor ToColor(Rgb c) { return QColor(c.r, c.g, c.b); }

} // namespace

QtCanvas::QtCanvas(QImage& image, QColor background)
    : width_(image.width()),
      height_(image.height()),
      background_(background),
      painter_(&image),
      lines_(reinterpret_cast<QRgb*>(image.bits()), width_, height_,
             static_cast<int>(image.bytesPerLine() / sizeof(QRgb))) {
    // Bands of a power of two rows, at least kMinBandRows, a few for each processor.
    threads_ = std::clamp(static_cast<int>(std::thread::hardware_concurrency()) - 1, 1, kMaxThreads); // one collects
    while ((1 << band_shift_) < kMinBandRows || (height_ - 1) >> band_shift_ >= kBandsPerThread * threads_)
        ++band_shift_;
    for (Batch& batch : batches_) {
        batch.bands.resize(static_cast<std::size_t>(std::max(height_ - 1, 0) >> band_shift_) + 1);
        batch.lines.reserve(kBatchLines);
    }
}

QtCanvas::~QtCanvas() { DrawWaitingLines(); }

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

// QPainter drops a line whose ends both lie beyond the band of one pixel around the image.
bool QtCanvas::ClippedAway(QPoint from, QPoint to) const {
    return (from.x() < -1 && to.x() < -1) || (from.y() < -1 && to.y() < -1) ||
           (from.x() > width_ + 1 && to.x() > width_ + 1) || (from.y() > height_ + 1 && to.y() > height_ + 1);
}

void QtCanvas::LineTo(int x, int y) {
    const QPoint from = pen_position_;
    pen_position_ = QPoint(x, y);
    if (pen_style_ == PenStyle::DashDot) { // the view draws no such line; QPainter does it
        DrawWaitingLines();
        painter_.setPen(CanvasPen(ToColor(pen_colour_), pen_style_));
        painter_.drawLine(from, pen_position_);
    } else if (!ClippedAway(from, pen_position_)) {
        Add(from, pen_position_, pen_colour_, pen_style_ == PenStyle::Dot);
    }
}

void QtCanvas::SetPixel(int x, int y, Rgb colour) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) Add(QPoint(x, y), QPoint(x, y), colour, false);
}

void QtCanvas::Add(QPoint from, QPoint to, Rgb colour, bool dotted) {
    // A line sets no pixel more than a row beyond its ends.
    const int first = std::clamp(std::min(from.y(), to.y()) - 1, 0, height_ - 1) >> band_shift_;
    const int last = std::clamp(std::max(from.y(), to.y()) + 1, 0, height_ - 1) >> band_shift_;
    Batch& batch = batches_[collecting_];
    const auto index = static_cast<std::uint32_t>(batch.lines.size());
    for (int band = first; band <= last; ++band) batch.bands[static_cast<std::size_t>(band)].push_back(index);
    batch.lines.push_back({from.x(), from.y(), to.x(), to.y(), qRgb(colour.r, colour.g, colour.b), dotted});
    if (batch.lines.size() >= kBatchLines) StartDrawing();
}

void QtCanvas::StartDrawing() {
    FinishDrawing();
    Batch& batch = batches_[collecting_];
    if (batch.lines.empty()) return;
    batch.walks.resize(batch.lines.size());
    batch.next_slice = 0;
    batch.next_band = 0;
    const int threads = std::min(threads_, static_cast<int>(batch.bands.size()));
    batch.planned = std::make_unique<std::barrier<>>(threads);
    for (int i = 0; i < threads; ++i) drawing_.emplace_back(&QtCanvas::Draw, this, std::ref(batch));
    collecting_ ^= 1;
}

void QtCanvas::FinishDrawing() {
    if (drawing_.empty()) return;
    for (std::thread& thread : drawing_) thread.join();
    drawing_.clear();
    Batch& drawn = batches_[collecting_ ^ 1];
    drawn.lines.clear();
    for (std::vector<std::uint32_t>& lines : drawn.bands) lines.clear();
}

void QtCanvas::Draw(Batch& batch) const {
    for (std::size_t slice; (slice = batch.next_slice++) * kSliceLines < batch.lines.size();) {
        const std::size_t end = std::min(batch.lines.size(), (slice + 1) * kSliceLines);
        for (std::size_t i = slice * kSliceLines; i < end; ++i) {
            const Line& line = batch.lines[i];
            batch.walks[i] = lines_.Plan(line.x1, line.y1, line.x2, line.y2, line.dotted);
        }
    }
    batch.planned->arrive_and_wait();
    for (std::size_t band; (band = batch.next_band++) < batch.bands.size();) {
        const int top = static_cast<int>(band) << band_shift_;
        for (const std::uint32_t index : batch.bands[band])
            lines_.Draw(batch.walks[index], batch.lines[index].colour, top, top + (1 << band_shift_));
    }
}

} // namespace ondrel
