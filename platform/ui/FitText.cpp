#include "FitText.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QToolTip>
#include <algorithm>
#include <vector>

namespace tw::ui {

namespace {

QFont ParentFont(const QWidget* w) {
    return w->parentWidget() ? w->parentWidget()->font() : QApplication::font();
}

// base and its smaller steps down to the floor, largest first: half points for a point-sized
// font, whole pixels for a pixel-sized one.
std::vector<QFont> SizesDownFrom(const QFont& base) {
    std::vector<QFont> fonts{base};
    const bool points = base.pointSizeF() > 0;
    const double step = points ? 0.5 : 1.0;
    const double floor = points ? kMinFitPoints : kMinFitPoints * 4 / 3;
    for (double size = (points ? base.pointSizeF() : base.pixelSize()) - step; size >= floor;
         size -= step) {
        QFont font = base;
        if (points) {
            font.setPointSizeF(size);
        } else {
            font.setPixelSize(static_cast<int>(size));
        }
        fonts.push_back(font);
    }
    return fonts;
}

// A tooltip that shows the whole text while the control draws it cut; a tooltip set by anyone
// else is left alone.
void ShowWholeAsTip(QWidget* w, bool& ownTip, bool cut, const QString& text) {
    if (cut && (ownTip || w->toolTip().isEmpty() || w->toolTip() == text)) {
        if (w->toolTip() != text) w->setToolTip(text);
        ownTip = true;
    } else if (!cut && ownTip) {
        w->setToolTip(QString());
        ownTip = false;
    }
}

// The pointer-to-member of a protected function is formed through a class that makes it public;
// calling it through that pointer is an ordinary call on the combo.
struct ComboAccess : QComboBox {
    using QComboBox::initStyleOption;
};

QRect ComboField(const QComboBox* combo) {
    QStyleOptionComboBox option;
    (combo->*(&ComboAccess::initStyleOption))(&option);
    return combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                          QStyle::SC_ComboBoxEditField, combo);
}

// The style draws the text one pixel in from each side of the field.
int ComboTextWidth(const QComboBox* combo) {
    return ComboField(combo).width() - 2;
}

QString ComboShownText(const QComboBox* combo) {
    return ElideToWidth(combo->font(), combo->currentText(), ComboTextWidth(combo));
}

// Refits a combo box whenever its text or size changes, and draws a text that is still too wide
// cut with "…".
class ComboTextFitter : public QObject {
  public:
    explicit ComboTextFitter(QComboBox* combo) : QObject(combo), combo_(combo) {
        setObjectName(QStringLiteral("ComboTextFitter"));
        connect(combo, &QComboBox::currentTextChanged, this, &ComboTextFitter::Fit);
        combo->installEventFilter(this);
        Fit();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != combo_) return false;
        switch (event->type()) {
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::StyleChange:
                Fit();
                break;
            case QEvent::Paint:
                return PaintCut();
            default:
                break;
        }
        return false;
    }

  private:
    void Fit() {
        const QFont base = ParentFont(combo_);
        const QFont font = FittingFont(base, combo_->currentText(), ComboTextWidth(combo_));
        if (font != combo_->font()) {
            combo_->setFont(font);
        }
        if (combo_->view()->font() != base) {
            combo_->view()->setFont(base);
        }
        ShowWholeAsTip(combo_, ownTip_, ComboShownText(combo_) != combo_->currentText(),
                       combo_->currentText());
    }

    // Paints the combo as it paints itself, with the cut text; false (the combo paints itself)
    // when its text fits.
    bool PaintCut() {
        const QString shown = ComboShownText(combo_);
        if (shown == combo_->currentText()) return false;
        QStylePainter painter(combo_);
        painter.setPen(combo_->palette().color(QPalette::Text));
        QStyleOptionComboBox option;
        (combo_->*(&ComboAccess::initStyleOption))(&option);
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        option.currentText = shown;
        painter.drawControl(QStyle::CE_ComboBoxLabel, option);
        return true;
    }

    QComboBox* combo_;
    bool ownTip_ = false;
};

struct ViewAccess : QAbstractItemView {
    using QAbstractItemView::initViewItemOption;
};
struct DelegateAccess : QStyledItemDelegate {
    using QStyledItemDelegate::initStyleOption;
};

// Shows the whole text of an item drawn cut when the mouse rests on it.
class CutItemTipper : public QObject {
  public:
    explicit CutItemTipper(QAbstractItemView* view)
        : QObject(view), view_(view), viewport_(view->viewport()) {
        setObjectName(QStringLiteral("CutItemTipper"));
        viewport_->installEventFilter(this);
    }

    // The viewport's events also come while the view is being destroyed, when it is no longer
    // a view: only a tooltip request, which a live view alone receives, reaches the view.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip || watched != viewport_) return false;
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = view_->indexAt(help->pos());
        const QString tip = CutItemTip(view_, index);
        if (tip.isEmpty()) return false;
        QToolTip::showText(help->globalPos(), tip, view_->viewport(), view_->visualRect(index));
        return true;
    }

  private:
    QAbstractItemView* view_;
    QWidget* viewport_;
};

// A label's width for its text: the inner width less margins and the indent (half an 'x' beside
// the text of a framed label when no indent is set).
int LabelTextWidth(const QLabel* label, const QFont& font) {
    int indent = label->indent();
    if (indent < 0) {
        indent = label->frameWidth() > 0 ? QFontMetrics(font).horizontalAdvance(u'x') / 2 : 0;
    }
    return label->contentsRect().width() - 2 * label->margin() - indent;
}

// The pieces of one line wrapped to width in font: at word boundaries, and anywhere inside a word
// longer than the width; between two Chinese characters is a word boundary. starts, when given,
// receives where in line each piece starts.
QStringList WrapLine(const QFont& font, const QString& line, int width,
                     std::vector<qsizetype>* starts = nullptr) {
    if (line.isEmpty()) {
        if (starts) starts->push_back(0);
        return {QString()};
    }
    QTextLayout layout(line, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList pieces;
    layout.beginLayout();
    for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
        l.setLineWidth(width);
        if (starts) starts->push_back(l.textStart());
        QString piece = line.mid(l.textStart(), l.textLength());
        while (piece.endsWith(u' ')) piece.chop(1);
        pieces << piece;
    }
    layout.endLayout();
    return pieces;
}

int WidestOf(const QFontMetrics& metrics, const QStringList& lines) {
    int widest = 0;
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

}  // namespace

QFont FittingFont(const QFont& base, const QString& text, int width) {
    const std::vector<QFont> fonts = SizesDownFrom(base);
    for (const QFont& font : fonts) {
        if (QFontMetrics(font).horizontalAdvance(text) <= width) return font;
    }
    return fonts.back();
}

QString ElideToWidth(const QFont& font, const QString& text, int width) {
    const QFontMetrics metrics(font);
    if (metrics.horizontalAdvance(text) <= width) return text;
    return metrics.elidedText(text, Qt::ElideRight, std::max(width, 0));
}

QString ShownText(QWidget* widget) {
    if (auto* fit = dynamic_cast<FitLabel*>(widget)) return fit->Refit();
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (combo->findChild<QObject*>(QStringLiteral("ComboTextFitter"),
                                       Qt::FindDirectChildrenOnly)) {
            return ComboShownText(combo);
        }
        return combo->currentText();
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    return QString();
}

QString FitLabel::Refit() {
    const QFont base = ParentFont(this);
    const QFont font = FittingFont(base, text(), LabelTextWidth(this, base));
    if (font != this->font()) {
        setFont(font);
    }
    const QString shown = ElideToWidth(font, text(), LabelTextWidth(this, font));
    ShowWholeAsTip(this, ownTip_, shown != text(), text());
    return shown;
}

void FitLabel::paintEvent(QPaintEvent* event) {
    const QString shown = Refit();
    if (shown == text()) {
        QLabel::paintEvent(event);
        return;
    }
    // The frame as the label draws it, then the cut text where the label puts its text.
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setFont(font());
    QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const int indent = contentsRect().width() - 2 * margin() - LabelTextWidth(this, font());
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    if (align & Qt::AlignRight) {
        area.setRight(area.right() - indent);
    } else {
        area.setLeft(area.left() + indent);
    }
    style()->drawItemText(&painter, area, static_cast<int>(align), palette(), isEnabled(), shown,
                          foregroundRole());
}

QFont ColumnLabel::ShownFont() const {
    const QStringList chars = text().split(u'\n');
    const int share =
        contentsRect().height() / static_cast<int>(std::max<qsizetype>(chars.size(), 1));
    const int width = contentsRect().width();
    const std::vector<QFont> fonts = SizesDownFrom(font());
    for (const QFont& f : fonts) {
        const QFontMetrics metrics(f);
        bool fits = true;
        for (const QString& c : chars) {
            if (!c.isEmpty() && (metrics.tightBoundingRect(c).height() > share ||
                                 metrics.horizontalAdvance(c) > width)) {
                fits = false;
                break;
            }
        }
        if (fits) return f;
    }
    return fonts.back();
}

void ColumnLabel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    const QStringList chars = text().split(u'\n');
    if (chars.isEmpty()) return;
    const QFont font = ShownFont();
    const QFontMetrics metrics(font);
    QPainter painter(this);
    painter.setFont(font);
    painter.setPen(palette().color(foregroundRole()));
    const QRect area = contentsRect();
    const int share = area.height() / static_cast<int>(chars.size());
    for (qsizetype i = 0; i < chars.size(); ++i) {
        // Each character's ink centred in its share of the height.
        const QRect ink = metrics.tightBoundingRect(chars[i]);
        const int x = area.left() + (area.width() - metrics.horizontalAdvance(chars[i])) / 2;
        const int top = area.top() + static_cast<int>(i) * share;
        const int y = top + (share - ink.height()) / 2 - ink.top();
        painter.drawText(x, y, chars[i]);
    }
}

void KeepComboTextWhole(QComboBox* combo) {
    if (combo) {
        new ComboTextFitter(combo);
    }
}

void ShowCutItemsAsTips(QAbstractItemView* view) {
    if (view) {
        new CutItemTipper(view);
    }
}

QString CutItemTip(const QAbstractItemView* view, const QModelIndex& index) {
    if (!view || !index.isValid()) return QString();
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) return QString();
    // The text's room as the view's delegate and style lay the item out.
    QStyleOptionViewItem option;
    (view->*(&ViewAccess::initViewItemOption))(&option);
    option.rect = view->visualRect(index);
    if (auto* delegate = qobject_cast<QStyledItemDelegate*>(view->itemDelegateForIndex(index))) {
        (delegate->*(&DelegateAccess::initStyleOption))(&option, index);
    } else {
        option.text = text;
    }
    if (option.rect.isEmpty()) return QString();
    const QStyle* style = view->style();
    const QRect room = style->subElementRect(QStyle::SE_ItemViewItemText, &option, view);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    if (QFontMetrics(option.font).horizontalAdvance(option.text) <= room.width() - 2 * margin) {
        return QString();
    }
    return text;
}

FittedText FitBoxText(const QFont& base, const QString& text, const QSize& box) {
    QString breaks = text;
    breaks.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    breaks.replace(QChar::LineSeparator, u'\n');
    const QStringList lines = breaks.split(u'\n');
    const bool keyLine = lines.size() > 1;
    const std::vector<QFont> fonts = SizesDownFrom(base);
    for (const QFont& font : fonts) {
        const QFontMetrics metrics(font);
        QStringList laid;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (keyLine && i == lines.size() - 1) {
                laid << lines[i];
            } else {
                laid << WrapLine(font, lines[i], box.width());
            }
        }
        if (WidestOf(metrics, laid) <= box.width() &&
            laid.size() * metrics.lineSpacing() <= box.height()) {
            return {font, laid, true};
        }
    }
    // Nothing fits at the floor: the leading lines give way first.
    const QFont font = fonts.back();
    const QFontMetrics metrics(font);
    const int capacity = std::max(1, box.height() / std::max(metrics.lineSpacing(), 1));
    FittedText fitted{font, {}, false};
    const qsizetype leading = keyLine ? lines.size() - 1 : lines.size();
    const int room = keyLine ? capacity - 1 : capacity;
    QStringList rest;  // the leading lines' text from each wrapped piece on, to cut the last one
    QStringList pieces;
    for (qsizetype i = 0; i < leading; ++i) {
        std::vector<qsizetype> starts;
        const QStringList wrapped = WrapLine(font, lines[i], box.width(), &starts);
        for (qsizetype p = 0; p < wrapped.size(); ++p) {
            pieces << wrapped[p];
            rest << lines[i].mid(starts[static_cast<size_t>(p)]) +
                        (i + 1 < leading ? QStringLiteral(" ") + lines[i + 1] : QString());
        }
    }
    for (qsizetype p = 0; p < std::min<qsizetype>(pieces.size(), room); ++p) {
        const bool last = p == room - 1 && p + 1 < pieces.size();
        fitted.lines << (last ? ElideToWidth(font, rest[p] + QStringLiteral("…"), box.width())
                              : ElideToWidth(font, pieces[p], box.width()));
    }
    if (keyLine) fitted.lines << ElideToWidth(font, lines.back(), box.width());
    return fitted;
}

}  // namespace tw::ui
