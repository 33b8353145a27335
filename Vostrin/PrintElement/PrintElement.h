// The base of the drawing elements of a printable page: the page's offsets, the printer's
// resolution and context, and the element's node in the printable tree. Elements draw through
// the printer's canvas and swallow their own failures; Print answers whether the page may be
// ended after this element.
#pragma once

#include <functional>

#include "ZPrinters/ZCanvas.h"
#include "ZPrinters/ZPrintContext.h"

class TXml;

namespace TVostrin {

using TCanvas = Zprinters::TZCanvas;

// Gives a canvas the font, brush and pen it had when this was made back when it goes: when an
// element's drawing is done or has failed.
class TCanvasState {
  public:
    explicit TCanvasState(TCanvas* canvas)
        : canvas_(canvas), font_(canvas->Font), brush_(canvas->Brush), pen_(canvas->Pen) {}
    ~TCanvasState() {
        canvas_->Font = font_;
        canvas_->Brush = brush_;
        canvas_->Pen = pen_;
    }
    TCanvasState(const TCanvasState&) = delete;
    TCanvasState& operator=(const TCanvasState&) = delete;
    const Zprinters::TZFont& Font() const { return font_; }
    const Zprinters::TZBrush& Brush() const { return brush_; }
    const Zprinters::TZPen& Pen() const { return pen_; }

  private:
    TCanvas* canvas_;
    Zprinters::TZFont font_;
    Zprinters::TZBrush brush_;
    Zprinters::TZPen pen_;
};

class TPrintElement {
  public:
    TPrintElement() = default;
    explicit TPrintElement(TXml* node) : Node(node) {}
    virtual ~TPrintElement() = default;
    TPrintElement(const TPrintElement&) = delete;
    TPrintElement& operator=(const TPrintElement&) = delete;

    // Page offsets, tenths of a millimetre, subtracted from every position.
    int OffsetX = 0;
    int OffsetY = 0;
    // The printer's resolution, dots per inch.
    int DpiX = 100;
    int DpiY = 100;
    // The printer's current context, for elements that send printer commands.
    Zprinters::HDC PrinterHandle = nullptr;
    // The element's node in the printable tree; borrowed from the page loop.
    TXml* Node = nullptr;
    // Set by Print when the element left out a picture that the library refuses to make for
    // what it would cost (beyond the picture cap, or the memory is not to be had); the page
    // loop reports it in its status.
    bool Refused = false;

    // Draws the element; true when the page may be ended after it. The base draws nothing.
    virtual bool Print(TCanvas* canvas);

    // Positions (x, y) and sizes in dots, with this element's offsets and resolutions.
    int XToDots(int x) const;
    int YToDots(int y) const;
    int WidthToDots(int w) const;
    int HeightToDots(int h) const;

  protected:
    // The frame of an element that draws with its own font, brush or pen: runs draw unless
    // there is no canvas or node, lets a failure of draw leave the page to the other elements,
    // and gives the canvas its font, brush and pen back afterwards. Answers true.
    bool DrawKeepingCanvas(TCanvas* canvas,
                           const std::function<void(const TCanvasState& saved)>& draw);
};

}  // namespace TVostrin
