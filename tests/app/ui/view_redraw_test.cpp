// When the drawing area repaints: after every load that succeeds, and without the "Zoom Field"
// dots once the view has been drawn again.
#include <QEvent>

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

} // namespace
} // namespace ondrel::fakes
