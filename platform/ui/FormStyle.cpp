#include "FormStyle.h"

#include <QFontDatabase>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

namespace tw::ui {

void PlaceTwips(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                   TwipsToPixels(height));
}

QFont FormFont(int pointSize) {
    // A family that is not installed falls to its substitutes before any other fallback: the
    // Chinese font the project installs, else any installed Simplified Chinese font.
    static const bool substituted = [] {
        QFont::insertSubstitutions(kFormFontFamily,
                                   QStringList{QStringLiteral("WenQuanYi Micro Hei")} +
                                       QFontDatabase::families(QFontDatabase::SimplifiedChinese));
        return true;
    }();
    (void)substituted;
    return QFont(kFormFontFamily, pointSize);
}

QString Trim(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' ')) {
        ++begin;
    }
    while (end > begin && text.at(end - 1) == QLatin1Char(' ')) {
        --end;
    }
    return text.mid(begin, end - begin);
}

void PaintCheck(QWidget* w, bool passed) {
    const QColor& colour = passed ? kCheckPassColor : kCheckFailColor;
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, colour);
    pal.setColor(QPalette::Button, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

QColor CheckColor(const QWidget* w) {
    return w->palette().color(QPalette::Base);
}

QPushButton* MakeButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace tw::ui
