#include "ZPrinters/ZPpd.h"

#include <QByteArray>
#include <QList>
#include <QRegularExpression>

namespace Zprinters {

namespace {

// Splits "*Option Key/Text: value" into key and text (text falls back to the key).
bool SplitChoice(const QString& line, const QString& option, QString& key, QString& text) {
    const QString head = QStringLiteral("*") + option + QStringLiteral(" ");
    if (!line.startsWith(head)) return false;
    int colon = line.indexOf(u':', head.size());
    if (colon < 0) return false;
    QString spec = line.mid(head.size(), colon - head.size()).trimmed();
    int slash = spec.indexOf(u'/');
    key = (slash < 0 ? spec : spec.left(slash)).trimmed();
    text = (slash < 0 ? key : spec.mid(slash + 1)).trimmed();
    return !key.isEmpty();
}

QString DefaultOf(const QString& line, const QString& option) {
    const QString head = QStringLiteral("*Default") + option + QStringLiteral(":");
    return line.startsWith(head) ? line.mid(head.size()).trimmed() : QString();
}

}  // namespace

TPoint ParseResolutionKey(const QString& key) {
    static const QRegularExpression re(QStringLiteral("^(\\d+)(?:x(\\d+))?dpi$"));
    auto m = re.match(key.trimmed());
    if (!m.hasMatch()) return {};
    int x = m.captured(1).toInt();
    int y = m.captured(2).isEmpty() ? x : m.captured(2).toInt();
    return {x, y};
}

int BinCodeForSlot(const QString& key, int index) {
    const QString k = key.toLower();
    if (k == QLatin1String("upper") || k == QLatin1String("tray1")) return 1;
    if (k == QLatin1String("lower") || k == QLatin1String("tray2")) return 2;
    if (k == QLatin1String("middle")) return 3;
    if (k == QLatin1String("manual") || k == QLatin1String("manualfeed")) return 4;
    if (k == QLatin1String("envelope")) return 5;
    if (k == QLatin1String("envmanual")) return 6;
    if (k == QLatin1String("auto") || k == QLatin1String("default")) return 7;
    if (k == QLatin1String("tractor")) return 8;
    if (k == QLatin1String("largecapacity")) return 11;
    if (k == QLatin1String("cassette")) return 14;
    return 257 + index;
}

TZPpdInfo ParsePpd(const QByteArray& text) {
    TZPpdInfo info;
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        QString key, name;
        if (SplitChoice(line, QStringLiteral("InputSlot"), key, name)) {
            info.inputSlots.push_back({key, name});
        } else if (SplitChoice(line, QStringLiteral("Resolution"), key, name)) {
            TPoint r = ParseResolutionKey(key);
            if (r.X > 0 && r.Y > 0) info.resolutions.push_back(r);
        } else if (QString d = DefaultOf(line, QStringLiteral("InputSlot")); !d.isEmpty()) {
            info.defaultInputSlot = d;
        } else if (QString d = DefaultOf(line, QStringLiteral("Resolution")); !d.isEmpty()) {
            info.defaultResolution = ParseResolutionKey(d);
        }
    }
    return info;
}

}  // namespace Zprinters
