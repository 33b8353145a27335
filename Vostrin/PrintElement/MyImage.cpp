#include "PrintElement/MyImage.h"

#include <QFileInfo>
#include <QImage>
#include <algorithm>
#include <cstdlib>

#include "Build/ErrorLog.h"
#include "PrintElement/BitmapReader.h"
#include "PrintElement/JpegDecoder.h"
#include "PrintElement/PictureCap.h"
#include "PrintElement/PrintUnits.h"
#include "TXml.h"
#include "text/Gbk.h"

namespace TVostrin {

QString PicturePath(const std::string& gbkPath) {
    QString path = tw::text::FromGbk(gbkPath);
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.contains(QLatin1Char(':')) || path.startsWith(QLatin1Char('/'))) return path;
    return QString::fromUtf8(ProgramFolder()) + path;
}

bool TMyImage::Print(TCanvas* canvas) {
    if (!canvas || !Node) return true;
    DrawWithinCap(Refused, [&] {
        const int x = XToDots(StrToIntDef(Node->AttributeValue("x"), 0));
        const int y = YToDots(StrToIntDef(Node->AttributeValue("y"), 0));
        const int w = WidthToDots(StrToIntDef(Node->AttributeValue("width"), 0));
        const int h = HeightToDots(StrToIntDef(Node->AttributeValue("height"), 0));
        std::string value = Node->AttributeValue("value");
        if (value.empty()) value = Node->GetContent();
        const QString path = PicturePath(value);
        const QFileInfo info(path);
        if (!info.isFile()) return;
        const QString ext = info.fileName().contains(QLatin1Char('.'))
                                ? info.fileName().section(QLatin1Char('.'), -1).toLower()
                                : QString();
        // Every picture is made at the size it is drawn at in printer dots (its own size when
        // that is smaller) while it is decoded: no more than that is ever held.
        const QSize box(std::max(1, std::abs(w)), std::max(1, std::abs(h)));
        QImage picture;
        if (ext == QLatin1String("bmp"))
            picture = ReadBitmapFile(path, box, &Refused);
        else if (ext == QLatin1String("jpg"))
            picture = DecodeJpegFile(path, box, &Refused);
        else
            return;
        if (picture.isNull()) return;
        canvas->StretchDraw({x, y, x + w, y + h}, picture);
    });
    return true;
}

}  // namespace TVostrin
