// Pie charts drawn into a bitmap: the slice list of the printable page format, the texts of the
// slice labels, and the drawing of a flat or three-dimensional pie with labelled slices on a
// white background.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <string>
#include <vector>

namespace TVostrin {

struct TPieSlice {
    double value = 0;
    std::string label;  // GBK bytes
    QColor color;
};

// Slices separated by "|", each "value,label,(r,g,b)". The value is a decimal number with "."
// (0 when it is not one); the label runs to the next ","; the colour is what lies between the
// next "(" and ")" (missing parts 0). A missing separator makes its piece run to the end;
// empty pieces give no slice.
std::vector<TPieSlice> ParsePieSlices(const std::string& text);

enum class TPieMarks {
    Label,
    Value,
    Percent,
    LabelValue,
    LabelPercent,
    PercentTotal,
    LabelPercentTotal
};

// The label style of a "mark_style" value (compared byte for byte); labels for any other.
TPieMarks PieMarksOf(const std::string& style);

// The label of a slice in the given style; total is the sum of the slices' sizes.
QString PieMarkText(const TPieSlice& slice, double total, TPieMarks marks);

struct TPieLook {
    bool view3d = false;
    int depthPercent = 30;  // depth of the 3-D pie, percent of its vertical radius
    TPieMarks marks = TPieMarks::Label;
    QString fontName = QStringLiteral("Arial");
    int fontPoints = 8;
    int pixelsPerInch = 96;  // resolution the font size is measured at
};

// Draws the pie into image (already sized and filled white): the first slice starts at 315
// degrees and the slices follow counter-clockwise, each by the share of its value's size in
// the total. Labels sit outside the pie, black, without frame or background, joined to their
// slice by a short line; the sides of a 3-D pie are drawn darker. Nothing is drawn when the
// total is 0.
void DrawPie(QImage& image, const std::vector<TPieSlice>& slices, const TPieLook& look);

}  // namespace TVostrin
