#include "ZPrinters/ZCanvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace Zprinters {

namespace {

// a * b / c rounded to the nearest integer, halves away from zero, in 64 bits and held to
// -INT_MAX..INT_MAX (so that the result can always be negated).
int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    long long p = static_cast<long long>(a) * b;
    long long half = std::llabs(c) / 2;
    bool negative = (p < 0) != (c < 0);
    long long q = std::min<long long>((std::llabs(p) + half) / std::llabs(c), INT_MAX);
    return static_cast<int>(negative ? -q : q);
}

Qt::PenStyle ToQt(TZPenStyle s) {
    switch (s) {
        case psDash:
            return Qt::DashLine;
        case psDot:
            return Qt::DotLine;
        case psDashDot:
            return Qt::DashDotLine;
        case psDashDotDot:
            return Qt::DashDotDotLine;
        case psClear:
            return Qt::NoPen;
        case psSolid:
            break;
    }
    return Qt::SolidLine;
}

Qt::BrushStyle ToQt(TZBrushStyle s) {
    switch (s) {
        case bsClear:
            return Qt::NoBrush;
        case bsHorizontal:
            return Qt::HorPattern;
        case bsVertical:
            return Qt::VerPattern;
        case bsFDiagonal:
            return Qt::FDiagPattern;
        case bsBDiagonal:
            return Qt::BDiagPattern;
        case bsCross:
            return Qt::CrossPattern;
        case bsDiagCross:
            return Qt::DiagCrossPattern;
        case bsSolid:
            break;
    }
    return Qt::SolidPattern;
}

// The angle of (x, y) around the centre, in degrees counter-clockwise from the positive x axis
// (y grows downwards on the device).
double AngleOf(double cx, double cy, int x, int y) {
    return std::atan2(cy - y, x - cx) * 180.0 / M_PI;
}

}  // namespace

int TZFont::GetSize() const {
    return -MulDiv(height_, 72, pixelsPerInch_);
}

void TZFont::SetSize(int points) {
    height_ = -MulDiv(points, pixelsPerInch_, 72);
}

QFont TZFont::ToQFont() const {
    QFont f(Name);
    f.setPixelSize(static_cast<int>(std::clamp<long long>(std::llabs(height_), 1, INT_MAX)));
    f.setBold(Style & fsBold);
    f.setItalic(Style & fsItalic);
    f.setUnderline(Style & fsUnderline);
    f.setStrikeOut(Style & fsStrikeOut);
    return f;
}

HDC TZCanvas::GetHandle() {
    if (!handle_) CreateHandle();
    return handle_;
}

QPainter* TZCanvas::BeginDraw() {
    Changing();
    HDC h = GetHandle();
    QPainter* p = h ? h->Painter() : nullptr;
    if (p) ApplyPenAndBrush(*p);
    return p;
}

void TZCanvas::ApplyPenAndBrush(QPainter& p) const {
    QPen pen(Pen.Color);
    pen.setWidth(std::max(0, Pen.Width));
    pen.setStyle(ToQt(Pen.Style));
    p.setPen(pen);
    p.setBrush(QBrush(Brush.Color, ToQt(Brush.Style)));
    p.setFont(Font.ToQFont());
}

void TZCanvas::MoveTo(int x, int y) {
    Changing();
    PenPos = {x, y};
}

void TZCanvas::LineTo(int x, int y) {
    if (QPainter* p = BeginDraw()) p->drawLine(PenPos.X, PenPos.Y, x, y);
    PenPos = {x, y};
}

void TZCanvas::Rectangle(int left, int top, int right, int bottom) {
    if (QPainter* p = BeginDraw())
        p->drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

void TZCanvas::FillRect(const TRect& r) {
    if (QPainter* p = BeginDraw())
        p->fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), p->brush());
}

void TZCanvas::Ellipse(int left, int top, int right, int bottom) {
    if (QPainter* p = BeginDraw())
        p->drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

void TZCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    QPainter* p = BeginDraw();
    if (!p) return;
    double cx = (x1 + x2) / 2.0, cy = (y1 + y2) / 2.0;
    double start = AngleOf(cx, cy, x3, y3);
    double span = AngleOf(cx, cy, x4, y4) - start;
    while (span <= 0) span += 360.0;
    p->drawPie(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1), static_cast<int>(std::lround(start * 16)),
               static_cast<int>(std::lround(span * 16)));
}

void TZCanvas::Polygon(const std::vector<TPoint>& points) {
    QPainter* p = BeginDraw();
    if (!p) return;
    QPolygon poly;
    for (const auto& pt : points) poly << QPoint(pt.X, pt.Y);
    p->drawPolygon(poly);
}

void TZCanvas::Polyline(const std::vector<TPoint>& points) {
    QPainter* p = BeginDraw();
    if (!p) return;
    QPolygon poly;
    for (const auto& pt : points) poly << QPoint(pt.X, pt.Y);
    p->drawPolyline(poly);
}

void TZCanvas::DrawText(QPainter& p, int x, int y, const QString& text) {
    QFontMetrics fm(p.font());
    QRect cell(x, y, fm.horizontalAdvance(text), fm.height());
    if (Brush.Style != bsClear) p.fillRect(cell, Brush.Color);
    p.setPen(Font.Color);
    p.drawText(x, y + fm.ascent(), text);
}

void TZCanvas::TextOut(int x, int y, const QString& text) {
    if (QPainter* p = BeginDraw()) DrawText(*p, x, y, text);
    PenPos = {x + TextWidth(text), y};
}

void TZCanvas::TextRect(const TRect& r, int x, int y, const QString& text) {
    QPainter* p = BeginDraw();
    if (!p) return;
    p->save();
    p->setClipRect(QRect(r.Left, r.Top, r.Width(), r.Height()));
    DrawText(*p, x, y, text);
    p->restore();
}

void TZCanvas::StretchDraw(const TRect& r, const QImage& image) {
    if (QPainter* p = BeginDraw()) p->drawImage(QRect(r.Left, r.Top, r.Width(), r.Height()), image);
}

void TZCanvas::Draw(int x, int y, const QImage& image) {
    if (QPainter* p = BeginDraw()) p->drawImage(QPoint(x, y), image);
}

int TZCanvas::TextWidth(const QString& text) const {
    return TextExtent(text).X;
}

int TZCanvas::TextHeight(const QString& text) const {
    return TextExtent(text).Y;
}

TPoint TZCanvas::TextExtent(const QString& text) const {
    QFontMetrics fm(Font.ToQFont());
    return {fm.horizontalAdvance(text), fm.height()};
}

}  // namespace Zprinters
