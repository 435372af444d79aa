// When the drawing area repaints: after every load that succeeds, and without the "Zoom Field"
// dots once the view has been drawn again; and what it paints, against one QPainter call per
// record.
#include <random>

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

// Compares a and b within three pixels of the line from p to q and clears both there; returns the
// pixels that differ.
int CompareAndClearAround(QImage& a, QImage& b, QPoint p, QPoint q) {
    const bool steep = std::abs(q.y() - p.y()) > std::abs(q.x() - p.x());
    const int along1 = steep ? p.y() : p.x(), along2 = steep ? q.y() : q.x();
    const int across1 = steep ? p.x() : p.y(), across2 = steep ? q.x() : q.y();
    const int stride = a.bytesPerLine() / 4;
    QRgb* pa = reinterpret_cast<QRgb*>(a.bits());
    QRgb* pb = reinterpret_cast<QRgb*>(b.bits());
    int count = 0;
    for (int along = std::min(along1, along2) - 3; along <= std::max(along1, along2) + 3; ++along) {
        const int t = std::clamp(along, std::min(along1, along2), std::max(along1, along2));
        const int middle = along1 == along2 ? across1 : across1 + (t - along1) * (across2 - across1) / (along2 - along1);
        for (int across = middle - 3; across <= middle + 3; ++across) {
            const int x = steep ? across : along, y = steep ? along : across;
            if (x < 0 || y < 0 || x >= a.width() || y >= a.height()) continue;
            count += pa[y * stride + x] != pb[y * stride + x];
            pa[y * stride + x] = pb[y * stride + x] = 0;
        }
    }
    return count;
}

// Every line of up to 300 pixels along each axis, solid and dotted, from the middle of the image
// and from points on and beside its edges, where QPainter clips it.
TEST(PixelLines, SetWhatQPainterSetsForEveryShortLine) {
    QImage painted(640, 480, QImage::Format_RGB32), walked(640, 480, QImage::Format_RGB32);
    painted.fill(0);
    walked.fill(0);
    const PixelLines lines(reinterpret_cast<QRgb*>(walked.bits()), 640, 480, walked.bytesPerLine() / 4);
    QPainter painter(&painted);
    for (const QPoint from : {QPoint(320, 240), QPoint(0, -1), QPoint(641, 478)}) {
        for (const PenStyle style : {PenStyle::Solid, PenStyle::Dot}) {
            painter.setPen(CanvasPen(Qt::white, style));
            int wrong = 0;
            for (int dy = -300; dy <= 300; ++dy) {
                for (int dx = -300; dx <= 300; ++dx) {
                    const QPoint to = from + QPoint(dx, dy);
                    painter.drawLine(from, to);
                    lines.Draw(lines.Plan(from.x(), from.y(), to.x(), to.y(), style == PenStyle::Dot), 0xffffffff, 0, 480);
                    const int different = CompareAndClearAround(painted, walked, from, to);
                    if (different > 0 && ++wrong <= 5) ADD_FAILURE() << from.x() << "," << from.y() << " to " << dx << "," << dy;
                }
            }
            EXPECT_EQ(wrong, 0);
        }
    }
}

} // namespace
} // namespace ondrel::fakes
