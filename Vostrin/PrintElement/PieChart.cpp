#include "PrintElement/PieChart.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTemporaryFile>

#include "PrintElement/BitmapReader.h"
#include "PrintElement/PictureCap.h"
#include "PrintElement/PieDrawing.h"
#include "PrintElement/PrintUnits.h"
#include "TXml.h"
#include "text/Gbk.h"

namespace TVostrin {

namespace {

// A chart wider or taller than this many screen pixels, or whose bitmap would pass the picture
// cap, is not drawn: it is refused.
constexpr int kMaxChartPixels = 10000;

QSize ScreenPixelsPerInch() {
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    if (!screen) return QSize(96, 96);
    return QSize(std::max(1, qRound(screen->logicalDotsPerInchX())),
                 std::max(1, qRound(screen->logicalDotsPerInchY())));
}

TPieLook LookOf(TXml* node, int pixelsPerInch) {
    TPieLook look;
    look.pixelsPerInch = pixelsPerInch;
    look.view3d = node->AttributeValue("view3d") == "true";
    look.depthPercent = StrToIntDef(node->AttributeValue("chart3d_percent"), 30);
    look.marks = PieMarksOf(node->AttributeValue("mark_style"));
    const std::string face = node->AttributeValue("mark_fontname");
    if (!face.empty()) look.fontName = tw::text::FromGbk(face);
    const std::string size = node->AttributeValue("mark_fontsize");
    if (!size.empty()) look.fontPoints = StrToIntDef(size, 10);
    return look;
}

}  // namespace

bool TPieChart::Print(TCanvas* canvas) {
    if (!canvas || !Node) return true;
    DrawWithinCap(Refused, [&] {
        const int x = StrToIntDef(Node->AttributeValue("x"), 0);
        const int y = StrToIntDef(Node->AttributeValue("y"), 0);
        const int width = StrToIntDef(Node->AttributeValue("width"), 0);
        const int height = StrToIntDef(Node->AttributeValue("height"), 0);
        const QSize ppi = ScreenPixelsPerInch();
        const int pw = SizeToDots(width, ppi.width());
        const int ph = SizeToDots(height, ppi.height());
        if (pw <= 0 || ph <= 0) return;
        if (pw > kMaxChartPixels || ph > kMaxChartPixels || !WithinPictureCap(pw, ph)) {
            Refused = true;
            return;
        }

        QImage chart(pw, ph, QImage::Format_RGB32);
        if (chart.isNull()) {
            Refused = true;
            return;
        }
        chart.fill(Qt::white);
        DrawPie(chart, ParsePieSlices(Node->AttributeValue("value")), LookOf(Node, ppi.height()));

        // The bitmap goes through a file of its own, made with a fresh name that no other file
        // holds, readable by this user only, and removed when this block is left in any way.
        QTemporaryFile file(QDir::tempPath() + QStringLiteral("/bmpXXXXXX.bmp"));
        if (!file.open() || !chart.save(&file, "BMP")) return;
        file.close();
        const int dx = XToDots(x), dy = YToDots(y);
        const int dw = WidthToDots(width), dh = HeightToDots(height);
        const QImage picture = ReadBitmapFile(file.fileName(), QSize(dw, dh), &Refused);
        if (picture.isNull()) return;
        canvas->StretchDraw({dx, dy, dx + dw, dy + dh}, picture);
    });
    return true;
}

}  // namespace TVostrin
