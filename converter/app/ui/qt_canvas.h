// The drawing area's canvas: the view's drawing operations on an image of Format_RGB32.
//
// A redraw sends a line per record, so the canvas keeps QPainter's per-call work off the
// common case while setting exactly the pixels one QPainter::drawLine per line would. What it
// draws in one colour only ever sets that colour, so it may go out in any order until the
// colour changes: lines that QPainter would clip away whole are dropped, short lines inside
// the image are copied from their learnt shape, the others wait for one drawLines call per
// style, and single pixels are set in place.
#pragma once

#include <array>
#include <vector>

#include <QColor>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPoint>

#include "drawing_view.h"
#include "line_shapes.h"

namespace ondrel {

class QtCanvas : public Canvas {
public:
    QtCanvas(QImage& image, QColor background);
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
    static constexpr std::size_t kWaitingLines = 4096;

    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    bool ClippedAway(QPoint from, QPoint to) const;
    void UseColour(Rgb colour);
    void DrawWaitingLines();

    QRgb* pixels_;
    int width_, height_, stride_;
    QColor background_;
    QPainter painter_;
    LineShapes shapes_;
    Rgb pen_colour_{0, 0, 0};
    PenStyle pen_style_ = PenStyle::Solid;
    Rgb colour_{0, 0, 0}; // the colour of what is drawn since the last change of colour
    QRgb colour_pixel_ = qRgb(0, 0, 0);
    std::array<std::vector<QLine>, 3> waiting_; // by PenStyle
    QPoint pen_position_;
};

} // namespace ondrel
