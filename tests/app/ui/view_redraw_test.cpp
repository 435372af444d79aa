// When the drawing area repaints: after every load that succeeds, and without the "Zoom Field"
// dots once the view has been drawn again; and what it paints, against one QPainter call per
// record.
#include <cerrno>
#include <random>
#include <system_error>

#include <QPainter>

#include <QEvent>

#include "per_record_canvas.h"
#include "qt_canvas.h"
#include "window_fixture.h"

namespace ondrel::fakes {
namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST_F(WindowTest, EveryLoadThatSucceedsRedrawsTheView) {
    Start();
    Form1().DropFiles({"/d/a.plt"});
    QApplication::processEvents();
    PaintCounter counter;
    Form1().PaintBox1->installEventFilter(&counter);

    loader.drawing = Drawing{}; // a file that draws nothing
    Form1().DropFiles({"/d/empty.plt"});
    QApplication::processEvents();
    EXPECT_EQ(Form1().State().VectorCount(), 0);
    EXPECT_GT(counter.paints, 0);
}

TEST_F(WindowTest, ZoomFieldDotsGoAtTheNextRepaint) {
    Start();
    Form1().DropFiles({"/d/a.plt"});
    Form1().ZoomField1->trigger();
    const QImage withDots = Paint();
    const QImage repainted = Paint(); // as a resize or an uncovered window repaints
    Form1().DrawView();
    const QImage drawn = Paint();
    EXPECT_NE(withDots, repainted);
    EXPECT_EQ(repainted, drawn);
}

// Chains, single marks, jumps and unknown kinds in Bit, each chain's steps at its own scale:
// from many records in one pixel to lines across the whole field.
ConverterState RandomDrawing(std::mt19937& random, int records) {
    ConverterState state;
    std::uniform_real_distribution<float> field(-32765, 32765);
    const float scales[] = {1, 40, 400, 1500, 6000, 40000};
    float x = field(random), y = field(random);
    while (state.VectorCount() < records) {
        const float scale = scales[random() % 6];
        std::uniform_real_distribution<float> step(-scale, scale);
        x = std::clamp(x + 3 * step(random), -32765.0f, 32765.0f);
        y = std::clamp(y + 3 * step(random), -32765.0f, 32765.0f);
        state.drawing.VectorStream.push_back({Jump, x, y});
        const int marks = 1 + static_cast<int>(random() % 12);
        for (int i = 0; i < marks; ++i) {
            x = std::clamp(x + step(random), -32765.0f, 32765.0f);
            y = std::clamp(y + step(random), -32765.0f, 32765.0f);
            std::uint8_t kind = marks == 1 ? Single : i == 0 ? ChainStart : i == marks - 1 ? ChainEnd : ChainMiddle;
            if (random() % 50 == 0) kind = static_cast<std::uint8_t>(random() % 8); // any kind, also above 4
            state.drawing.VectorStream.push_back({kind, x, y});
        }
    }
    state.drawing.Bounds = {-20000, 25000, -31000, 12000};
    state.drawing.DrawingScale = 1;
    state.field.FieldGain = 1;
    return state;
}

QImage DrawnBy(bool perRecord, const ConverterState& state, AreaSize area, bool fieldDots) {
    QImage image(area.width, area.height, QImage::Format_RGB32);
    const QColor background(240, 240, 240);
    auto draw = [&](Canvas& canvas) {
        DrawView(state, area, canvas);
        if (fieldDots) DrawFieldDots(state, area, canvas);
    };
    if (perRecord) {
        PerRecordCanvas canvas(image, background);
        draw(canvas);
    } else {
        QtCanvas canvas(image, background);
        draw(canvas);
    }
    return image;
}

int DifferentPixels(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

TEST(QtCanvas, PaintsWhatOneDrawLinePerRecordPaints) {
    std::mt19937 random(20);
    const AreaSize area{257, 193};
    for (int drawing = 0; drawing < 6; ++drawing) {
        ConverterState state = RandomDrawing(random, 3000);
        for (int view = 0; view < 8; ++view) {
            state.view.ShowPolygons = view % 2 == 1;
            state.view.ShowLimits = view % 3 == 0;
            state.field.XYFlip = (view + drawing) % 4 == 1;
            state.field.XInvert = (view + drawing) % 3 == 1;
            state.field.YInvert = (view + drawing) % 5 == 2;
            FitView(state.view, area);
            if (view >= 2) { // zoomed in on a record up to 64 times, most lines leave the area
                const VectorRecord& at = state.drawing.VectorStream[random() % state.drawing.VectorStream.size()];
                state.view.ViewCenterX = at.x;
                state.view.ViewCenterY = at.y;
                state.view.ViewZoom *= static_cast<float>(1 << (view - 1));
            }
            SCOPED_TRACE("drawing " + std::to_string(drawing) + ", view " + std::to_string(view));
            const bool dots = view == 0;
            const QImage fast = DrawnBy(false, state, area, dots);
            const QImage reference = DrawnBy(true, state, area, dots);
            EXPECT_EQ(DifferentPixels(fast, reference), 0);
        }
    }
}

// Drawings of less than one batch of lines and of several, on four drawing threads of which the
// first, a middle one, the last or none cannot be started, as at a limit of threads: the same
// picture, and every thread started before the drawing, none on the way out.
TEST(QtCanvas, PaintsTheSameWhenDrawingThreadsCannotStart) {
    std::mt19937 random(30);
    const AreaSize area{257, 193};
    for (const int records : {3000, 200000}) {
        ConverterState state = RandomDrawing(random, records);
        for (const int zoom : {1, 8}) {
            state.view.ShowPolygons = zoom == 1;
            FitView(state.view, area);
            state.view.ViewZoom *= static_cast<float>(zoom);
            const QImage reference = DrawnBy(true, state, area, false);
            for (const int refused : {-1, 0, 2, 3}) {
                SCOPED_TRACE(std::to_string(records) + " records, zoom " + std::to_string(zoom) + ", start " +
                             std::to_string(refused) + " refused");
                int starts = 0, startsBeforeDrawing = -1;
                const auto start = [&](std::function<void()> work) {
                    if (starts++ == refused) throw std::system_error(EAGAIN, std::generic_category());
                    return std::thread(std::move(work));
                };
                QImage image(area.width, area.height, QImage::Format_RGB32);
                {
                    QtCanvas canvas(image, QColor(240, 240, 240), 4, start);
                    startsBeforeDrawing = starts;
                    DrawView(state, area, canvas);
                }
                EXPECT_EQ(DifferentPixels(image, reference), 0);
                EXPECT_EQ(starts, startsBeforeDrawing);
            }
        }
    }
}

// At one pixel per Bit: lines that end on, beside and just beyond every edge of the area, and
// lines along them.
TEST(QtCanvas, PaintsTheEdgesAsOneDrawLinePerRecord) {
    std::mt19937 random(7);
    const AreaSize area{64, 48};
    std::uniform_int_distribution<int> edge(-4, 4), along(-6, 70), step(-2, 2);
    for (int round = 0; round < 100; ++round) {
        ConverterState state;
        float px = 0, py = 0; // pixel (px, py) is Bit (px − 32, 24 − py)
        int side = 0;
        for (int i = 0; i < 40; ++i) {
            if (i % 4 == 3) { // along that edge, anywhere from end to end
                (side % 2 == 0 ? px : py) = static_cast<float>(along(random));
            } else if (i % 2 == 0) { // a point near one of the four edges
                side = static_cast<int>(random() % 4);
                const int across = edge(random) + (side == 1 ? area.width : side == 2 ? area.height : 0);
                const int a = along(random);
                px = static_cast<float>(side % 2 == 0 ? a : across);
                py = static_cast<float>(side % 2 == 0 ? across : a);
            } else { // a short line from there
                px += static_cast<float>(step(random));
                py += static_cast<float>(step(random));
            }
            state.drawing.VectorStream.push_back({static_cast<std::uint8_t>(random() % 5), px - 32, 24 - py});
        }
        state.drawing.DrawingScale = 1;
        state.field.FieldGain = 1;
        state.view.ViewZoom = 1;
        state.view.ShowPolygons = round % 2 == 1;
        EXPECT_EQ(DifferentPixels(DrawnBy(false, state, area, false), DrawnBy(true, state, area, false)), 0);
    }
}

// Lines drawn together in one image, none within two pixels of another's box.
using Sheet = std::vector<std::pair<QPoint, QPoint>>;

// Places boxes side by side in rows across a region, and on a new sheet when the region is full.
class Rows {
public:
    explicit Rows(QRect region) : region_(region), at_(region.topLeft()) {}

    // The sheet and the top left corner of the next box of w × h.
    std::pair<std::size_t, QPoint> Place(int w, int h) {
        if (at_.x() + w > region_.x() + region_.width()) {
            at_ = QPoint(region_.x(), at_.y() + row_);
            row_ = 0;
        }
        if (at_.y() + h > region_.y() + region_.height()) {
            ++sheet_;
            at_ = region_.topLeft();
            row_ = 0;
        }
        const QPoint corner = at_;
        at_.rx() += w;
        row_ = std::max(row_, h);
        return {sheet_, corner};
    }

private:
    QRect region_;
    QPoint at_;
    int row_ = 0;
    std::size_t sheet_ = 0;
};

// In the middle of the image every line of up to 8 pixels along each axis, and longer ones of a
// few slopes in every direction. In strips along the edges the lines that cross them, from on,
// inside and beyond the clip's bound there (a pixel beyond the image at the left and top, two at
// the right and bottom), the same lines at each edge; and at the corners lines across both.
std::vector<Sheet> LineSheets(int width, int height) {
    constexpr int kStrip = 64;
    std::vector<Sheet> sheets;
    const auto add = [&](std::size_t sheet, QPoint from, QPoint to) {
        if (sheets.size() <= sheet) sheets.resize(sheet + 1);
        sheets[sheet].emplace_back(from, to);
    };
    std::vector<QPoint> middle;
    for (int dy = -8; dy <= 8; ++dy)
        for (int dx = -8; dx <= 8; ++dx) middle.emplace_back(dx, dy);
    std::mt19937 random(11);
    for (const int length : {20, 97, 300}) {
        std::uniform_int_distribution<int> minor(2, length - 2);
        for (const int across : {0, 1, length / 2, length - 1, length, minor(random), minor(random)})
            for (const int sx : {-1, 1})
                for (const int sy : {-1, 1}) {
                    middle.emplace_back(sx * length, sy * across);
                    middle.emplace_back(sx * across, sy * length);
                }
    }
    Rows rows(QRect(kStrip, kStrip, width - 2 * kStrip, height - 2 * kStrip));
    for (const QPoint d : middle) {
        const auto [sheet, corner] = rows.Place(std::abs(d.x()) + 5, std::abs(d.y()) + 5);
        const QPoint from = corner + QPoint(2 + std::max(0, -d.x()), 2 + std::max(0, -d.y()));
        add(sheet, from, from + d);
    }
    // `out`: pixels beyond the bound of the edge (top, bottom, left, right), inside where negative.
    const auto atEdge = [&](int edge, int along, int out) {
        if (edge < 2) return QPoint(along, edge == 0 ? -1 - out : height + 1 + out);
        return QPoint(edge == 2 ? -1 - out : width + 1 + out, along);
    };
    Rows strip(QRect(kStrip, 0, std::min(width, height) - 2 * kStrip, 1));
    for (const int out : {-3, -2, -1, 0, 1, 2, 16})
        for (const int dAlong : {-31, -8, -3, -1, 0, 1, 2, 5, 13, 40})
            for (const int dOut : {-33, -9, -2, -1, 0, 1, 3, 20}) {
                const auto [sheet, corner] = strip.Place(std::abs(dAlong) + 5, 1);
                const int along = corner.x() + 2 + std::max(0, -dAlong);
                for (int edge = 0; edge < 4; ++edge)
                    add(sheet, atEdge(edge, along, out), atEdge(edge, along + dAlong, out + dOut));
            }
    const auto atCorner = [&](int corner, QPoint out) {
        return QPoint(corner % 2 == 0 ? -1 - out.x() : width + 1 + out.x(), corner < 2 ? -1 - out.y() : height + 1 + out.y());
    };
    std::size_t sheet = 0;
    for (const QPoint out : {QPoint(0, 0), QPoint(1, -2), QPoint(-2, 1), QPoint(3, 3), QPoint(0, 6)})
        for (const QPoint d : {QPoint(-40, -14), QPoint(-14, -40), QPoint(-30, -29), QPoint(9, -35), QPoint(-35, 9)}) {
            for (int corner = 0; corner < 4; ++corner) add(sheet, atCorner(corner, out), atCorner(corner, out + d));
            ++sheet;
        }
    return sheets;
}

// Every line of LineSheets, solid and dotted, against QPainter: each line's box, and the rest of
// the image for pixels set away from all of them.
TEST(PixelLines, SetWhatQPainterSetsForEveryShortLine) {
    constexpr int kWidth = 640, kHeight = 480;
    QImage painted(kWidth, kHeight, QImage::Format_RGB32), walked(kWidth, kHeight, QImage::Format_RGB32);
    const PixelLines lines(reinterpret_cast<QRgb*>(walked.bits()), kWidth, kHeight, walked.bytesPerLine() / 4);
    int wrong = 0;
    for (const PenStyle style : {PenStyle::Solid, PenStyle::Dot}) {
        for (const Sheet& sheet : LineSheets(kWidth, kHeight)) {
            painted.fill(0);
            walked.fill(0);
            {
                QPainter painter(&painted);
                painter.setPen(CanvasPen(Qt::white, style));
                for (const auto& [from, to] : sheet) painter.drawLine(from, to);
            }
            for (const auto& [from, to] : sheet)
                lines.Draw(lines.Plan(from.x(), from.y(), to.x(), to.y(), style == PenStyle::Dot), 0xffffffff, 0, kHeight);
            for (const auto& [from, to] : sheet) {
                const QRect box = QRect(from, to).normalized().adjusted(-2, -2, 2, 2) & painted.rect();
                bool differs = false;
                for (int y = box.top(); y <= box.bottom(); ++y) {
                    const auto* row = reinterpret_cast<const QRgb*>(painted.constScanLine(y)) + box.left();
                    differs |= !std::equal(row, row + box.width(), reinterpret_cast<const QRgb*>(walked.constScanLine(y)) + box.left());
                }
                if (differs && ++wrong <= 5)
                    ADD_FAILURE() << (style == PenStyle::Dot ? "dotted " : "solid ") << from.x() << "," << from.y()
                                  << " to " << to.x() << "," << to.y();
            }
            EXPECT_TRUE(painted == walked);
        }
    }
    EXPECT_EQ(wrong, 0);
}

} // namespace
} // namespace ondrel::fakes
