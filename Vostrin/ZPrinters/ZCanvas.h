// A drawing surface over QPainter with the state and defaults of a classic GDI canvas: a font
// measured in points at a pixels-per-inch value, a pen, a solid white brush, and a pen position
// that drawing moves. Text is placed by the top-left corner of its cell; all coordinates are
// device pixels of the context the canvas is bound to.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <vector>

#include "ZPrinters/ZExport.h"
#include "ZPrinters/ZPrintContext.h"
#include "ZPrinters/ZTypes.h"

class QPainter;

namespace Zprinters {

enum TZFontStyle : int { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

class ZPRINTERS_API TZFont {
  public:
    QString Name = QStringLiteral("MS Sans Serif");
    QColor Color = Qt::black;
    int Style = 0;  // TZFontStyle bits
    int Charset = 1;
    // Screen resolution the font is measured at until a device sets its own.
    static constexpr int kScreenPixelsPerInch = 96;

    // Size in points, derived from Height at PixelsPerInch (rounded as the system rounds).
    int GetSize() const;
    void SetSize(int points);
    // Height in device pixels; negative values give the character height without leading.
    int GetHeight() const { return height_; }
    void SetHeight(int pixels) { height_ = pixels; }
    int GetPixelsPerInch() const { return pixelsPerInch_; }
    // Changes only the resolution: the height in pixels stays, so the size in points changes.
    void SetPixelsPerInch(int ppi) { pixelsPerInch_ = ppi > 0 ? ppi : kScreenPixelsPerInch; }

    // The Qt font of this state, sized in pixels.
    QFont ToQFont() const;

  private:
    int pixelsPerInch_ = kScreenPixelsPerInch;
    int height_ = -11;  // 8 points at 96 pixels per inch
};

enum TZPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };

struct TZPen {
    QColor Color = Qt::black;
    int Width = 1;
    TZPenStyle Style = psSolid;
};

enum TZBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

struct TZBrush {
    QColor Color = Qt::white;
    TZBrushStyle Style = bsSolid;
};

class ZPRINTERS_API TZCanvas {
  public:
    TZCanvas() = default;
    virtual ~TZCanvas() = default;
    TZCanvas(const TZCanvas&) = delete;
    TZCanvas& operator=(const TZCanvas&) = delete;

    TZFont Font;
    TZPen Pen;
    TZBrush Brush;
    TPoint PenPos;

    // The bound context; asks CreateHandle for one when none is bound.
    HDC GetHandle();
    void SetHandle(HDC handle) { handle_ = handle; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    // Forgets what was selected into the previous context (state is applied per drawing call).
    void Refresh() {}

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    // Outline with the pen, filled with the brush; right and bottom are exclusive.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    // Fills with the brush, no outline.
    void FillRect(const TRect& r);
    void Ellipse(int left, int top, int right, int bottom);
    // A pie cut from the ellipse in the box, counter-clockwise from the radial through
    // (x3, y3) to the radial through (x4, y4).
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Polygon(const std::vector<TPoint>& points);
    void Polyline(const std::vector<TPoint>& points);
    // Text with its cell's top-left corner at (x, y); a non-clear brush fills the cell first.
    // The pen position moves to the end of the text.
    void TextOut(int x, int y, const QString& text);
    // As TextOut, clipped to the rectangle.
    void TextRect(const TRect& r, int x, int y, const QString& text);
    void StretchDraw(const TRect& r, const QImage& image);
    void Draw(int x, int y, const QImage& image);

    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;
    TPoint TextExtent(const QString& text) const;

  protected:
    // Called before every drawing operation.
    virtual void Changing() {}
    // Called when a drawing operation needs a context and none is bound.
    virtual void CreateHandle() {}

  private:
    // The painter to draw with, set up with the pen and brush; null when the context cannot
    // draw (an information context, or no page open).
    QPainter* BeginDraw();
    void ApplyPenAndBrush(QPainter& p) const;
    void DrawText(QPainter& p, int x, int y, const QString& text);

    HDC handle_ = nullptr;
};

}  // namespace Zprinters
