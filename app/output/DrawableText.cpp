#include "DrawableText.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <QRegularExpression>

#include "text/Gbk.h"

namespace tw::output {

namespace {

// Whether the default font or any installed family has a glyph for the character; asked once a
// character.
bool Drawable(char32_t c) {
    static QHash<char32_t, bool> known;
    const auto found = known.constFind(c);
    if (found != known.constEnd()) return *found;
    bool drawable = QFontMetrics(QFont()).inFontUcs4(c);
    const QStringList families = drawable ? QStringList() : QFontDatabase::families();
    for (const QString& family : families) {
        if (QFontMetrics(QFont(family)).inFontUcs4(c)) {
            drawable = true;
            break;
        }
    }
    known.insert(c, drawable);
    return drawable;
}

}  // namespace

QStringList UndrawableNames(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString text = tw::text::FromGbk(file.readAll().toStdString());
    static const QRegularExpression kValue(QStringLiteral("value=\"([^\"]*)\""));
    QStringList names;
    for (auto it = kValue.globalMatch(text); it.hasNext();) {
        // The data file's four entities read back as their characters.
        QString value = it.next().captured(1);
        value.replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        QString missing;
        for (const char32_t c : value.toUcs4()) {
            // Blanks, line ends and the data file's own ASCII always print.
            if (c < 0x80 || Drawable(c)) continue;
            if (!missing.contains(QString::fromUcs4(&c, 1))) missing += QString::fromUcs4(&c, 1);
        }
        if (missing.isEmpty()) continue;
        const QString named = value + QStringLiteral("（") + missing + QStringLiteral("）");
        if (!names.contains(named)) names << named;
    }
    return names;
}

}  // namespace tw::output
