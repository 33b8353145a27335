#include "PrintElement/PieDrawing.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "PrintElement/GbkText.h"
#include "PrintElement/NumberFormat.h"
#include "PrintElement/PrintColor.h"
#include "text/Gbk.h"

namespace TVostrin {

namespace {

constexpr double kStartAngle = 315.0;
// The pie is seen from 21 degrees off straight above (an elevation of 291 degrees).
const double kTilt = std::cos(21.0 * M_PI / 180.0);

// Cuts text at the first sep (where a character starts: the second byte of a Chinese character
// in a label may be "|"): the head is returned, text keeps what follows (empty when there is no
// sep: the piece runs to the end).
std::string CutAt(std::string& text, char sep) {
    const size_t at = FindOnCharacterStart(text, std::string(1, sep));
    std::string head = text.substr(0, at);
    text = at == std::string::npos ? std::string() : text.substr(at + 1);
    return head;
}

// Shortest text of a number, "." as the decimal point.
std::string NumberText(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ec == std::errc() ? r.ptr : buf);
}

QString Formatted(double v, const char* pattern) {
    return QString::fromStdString(FormatNumberText(NumberText(v), pattern));
}

}  // namespace

std::vector<TPieSlice> ParsePieSlices(const std::string& text) {
    std::vector<TPieSlice> slices;
    std::string rest = text;
    bool more = !rest.empty();
    while (more) {
        more = FindOnCharacterStart(rest, "|") != std::string::npos;
        std::string piece = CutAt(rest, '|');
        if (piece.empty()) continue;
        TPieSlice slice;
        slice.value = ParsePlainNumber(CutAt(piece, ','), 0.0);
        slice.label = CutAt(piece, ',');
        CutAt(piece, '(');
        slice.color = ToQColor(ParseColor(CutAt(piece, ')'), 0));
        slices.push_back(slice);
    }
    return slices;
}

TPieMarks PieMarksOf(const std::string& style) {
    if (style == "value") return TPieMarks::Value;
    if (style == "percent") return TPieMarks::Percent;
    if (style == "label_value") return TPieMarks::LabelValue;
    if (style == "label_percent") return TPieMarks::LabelPercent;
    if (style == "percent_total") return TPieMarks::PercentTotal;
    if (style == "label_percent_total") return TPieMarks::LabelPercentTotal;
    return TPieMarks::Label;
}

QString PieMarkText(const TPieSlice& slice, double total, TPieMarks marks) {
    const QString label = tw::text::FromGbk(slice.label);
    const QString value = Formatted(slice.value, "#,##0.###");
    const double share = total > 0 ? std::fabs(slice.value) * 100.0 / total : 0.0;
    const QString percent = Formatted(share, "##0.##") + QStringLiteral(" %");
    const QString ofTotal = QStringLiteral(" of ") + Formatted(total, "#,##0.###");
    switch (marks) {
        case TPieMarks::Label:
            return label;
        case TPieMarks::Value:
            return value;
        case TPieMarks::Percent:
            return percent;
        case TPieMarks::LabelValue:
            return label + QLatin1Char(' ') + value;
        case TPieMarks::LabelPercent:
            return label + QLatin1Char(' ') + percent;
        case TPieMarks::PercentTotal:
            return percent + ofTotal;
        case TPieMarks::LabelPercentTotal:
            return label + QLatin1Char(' ') + percent + ofTotal;
    }
    return label;
}

void DrawPie(QImage& image, const std::vector<TPieSlice>& slices, const TPieLook& look) {
    if (image.isNull()) return;
    double total = 0;
    for (const TPieSlice& s : slices) total += std::fabs(s.value);
    if (!(total > 0) || !std::isfinite(total)) return;

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    const int ppi = std::clamp(look.pixelsPerInch, 1, 10000);
    // Held to a sane size before it is multiplied: a size from the page may be any int.
    const int points = std::clamp(look.fontPoints, 1, 1000);
    const int asked = std::clamp(points * ppi / 72, 1, 1000);
    const int arrow = std::max(4, ppi / 12);
    const double depthShare = look.view3d ? std::clamp(look.depthPercent, 0, 100) / 100.0 : 0.0;
    const double tilt = look.view3d ? kTilt : 1.0;

    // Room for the labels on every side; without it the pie alone fills the bitmap.
    auto radiusFor = [&](int roomX, int roomY) {
        const double byWidth = (image.width() - 2.0 * roomX) / 2.0;
        const double byHeight = (image.height() - 2.0 * roomY) / (2.0 * tilt + tilt * depthShare);
        return std::min(byWidth, byHeight);
    };
    // The pie keeps at least a third of the radius it has without labels: labels that leave it
    // less are drawn smaller, down to 6 points, then cut short with "…", and left out when even
    // that leaves no room.
    const double fair = radiusFor(0, 0) / 3;
    const int floor = std::min(asked, std::max(1, 6 * ppi / 72));
    QFont font(look.fontName);
    std::vector<QString> texts;
    texts.reserve(slices.size());
    for (const TPieSlice& s : slices) texts.push_back(PieMarkText(s, total, look.marks));
    const auto widest = [&](const QFontMetrics& fm) {
        int width = 0;
        for (const QString& t : texts) width = std::max(width, fm.horizontalAdvance(t));
        return width;
    };
    double rx = 0;
    for (int size = asked;; size = std::max(floor, size * 9 / 10)) {
        font.setPixelSize(size);
        const QFontMetrics fm(font);
        rx = radiusFor(widest(fm) + arrow + 2, fm.height() + arrow + 2);
        if (rx >= fair || size == floor) break;
    }
    const QFontMetrics fm(font);
    if (rx < fair) {
        // Labels cut to the room beside a pie of the fair size.
        const int room = static_cast<int>((image.width() - 2 * fair) / 2) - arrow - 2;
        if (room >= 3 * fm.averageCharWidth()) {
            for (QString& t : texts) t = fm.elidedText(t, Qt::ElideRight, room);
            rx = radiusFor(widest(fm) + arrow + 2, fm.height() + arrow + 2);
        }
    }
    bool labels = true;
    if (rx < fair || rx < 2) {
        labels = false;
        rx = radiusFor(0, 0);
    }
    if (rx < 1) return;
    p.setFont(font);
    const double ry = rx * tilt;
    const int depth = static_cast<int>(ry * depthShare);
    const double cx = image.width() / 2.0;
    const double cy = (image.height() - depth) / 2.0;
    const QRectF top(cx - rx, cy - ry, 2 * rx, 2 * ry);

    // Start and span of each slice in sixteenths of a degree, without gaps between slices.
    std::vector<std::pair<int, int>> angles;
    double at = 0;
    for (const TPieSlice& s : slices) {
        const double from = kStartAngle + at * 360.0 / total;
        at += std::fabs(s.value);
        const double to = kStartAngle + at * 360.0 / total;
        const int from16 = static_cast<int>(std::lround(from * 16));
        angles.emplace_back(from16, static_cast<int>(std::lround(to * 16)) - from16);
    }

    p.setPen(Qt::NoPen);
    for (int d = depth; d >= 1; --d)
        for (size_t i = 0; i < slices.size(); ++i) {
            p.setBrush(slices[i].color.darker(150));
            p.drawPie(top.translated(0, d), angles[i].first, angles[i].second);
        }
    p.setPen(QPen(Qt::black, 0));
    for (size_t i = 0; i < slices.size(); ++i) {
        if (angles[i].second == 0) continue;
        p.setBrush(slices[i].color);
        p.drawPie(top, angles[i].first, angles[i].second);
    }
    if (!labels) return;

    for (size_t i = 0; i < slices.size(); ++i) {
        const double mid = (angles[i].first + angles[i].second / 2.0) / 16.0 * M_PI / 180.0;
        const double c = std::cos(mid), s = std::sin(mid);
        // Labels of the front half start from the bottom of the side.
        const QPointF edge(cx + rx * c, cy - ry * s + (s < 0 ? depth : 0));
        const QPointF end = edge + QPointF(arrow * c, -arrow * s);
        p.setPen(QPen(Qt::black, 0));
        p.drawLine(edge, end);
        const int w = fm.horizontalAdvance(texts[i]);
        const int x = c >= 0 ? static_cast<int>(end.x()) + 2 : static_cast<int>(end.x()) - 2 - w;
        const int y = static_cast<int>(end.y()) - fm.height() / 2;
        p.drawText(x, y + fm.ascent(), texts[i]);
    }
}

}  // namespace TVostrin
