#include "FitText.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace tw::ui {

namespace {

QFont ParentFont(const QWidget* w) {
    return w->parentWidget() ? w->parentWidget()->font() : QApplication::font();
}

// Refits a combo box whenever its text or size changes.
class ComboTextFitter : public QObject {
  public:
    explicit ComboTextFitter(QComboBox* combo) : QObject(combo), combo_(combo) {
        connect(combo, &QComboBox::currentTextChanged, this, &ComboTextFitter::Fit);
        combo->installEventFilter(this);
        Fit();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == combo_ &&
            (event->type() == QEvent::Resize || event->type() == QEvent::Show ||
             event->type() == QEvent::StyleChange)) {
            Fit();
        }
        return false;
    }

  private:
    void Fit() {
        const QFont base = ParentFont(combo_);
        QStyleOptionComboBox option;
        option.initFrom(combo_);
        option.editable = combo_->isEditable();
        option.frame = combo_->hasFrame();
        option.currentText = combo_->currentText();
        const QRect field = combo_->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                            QStyle::SC_ComboBoxEditField, combo_);
        // The style draws the text one pixel in from each side of the field.
        const QFont font = FittingFont(base, combo_->currentText(), field.width() - 2);
        if (font != combo_->font()) {
            combo_->setFont(font);
        }
        if (combo_->view()->font() != base) {
            combo_->view()->setFont(base);
        }
    }

    QComboBox* combo_;
};

}  // namespace

QFont FittingFont(const QFont& base, const QString& text, int width) {
    QFont font = base;
    const bool points = base.pointSizeF() > 0;
    double size = points ? base.pointSizeF() : base.pixelSize();
    const double step = points ? 0.5 : 1.0;
    const double floor = points ? kMinFitPoints : kMinFitPoints * 4 / 3;
    while (QFontMetrics(font).horizontalAdvance(text) > width && size - step >= floor) {
        size -= step;
        if (points) {
            font.setPointSizeF(size);
        } else {
            font.setPixelSize(static_cast<int>(size));
        }
    }
    return font;
}

void FitLabelFont(QLabel* label) {
    const QFont base = ParentFont(label);
    // A framed label keeps half an 'x' free beside its text when no indent is set.
    int indent = label->indent();
    if (indent < 0) {
        indent = label->frameWidth() > 0 ? QFontMetrics(base).horizontalAdvance(u'x') / 2 : 0;
    }
    const int width = label->contentsRect().width() - 2 * label->margin() - indent;
    const QFont font = FittingFont(base, label->text(), width);
    if (font != label->font()) {
        label->setFont(font);
    }
}

void KeepComboTextWhole(QComboBox* combo) {
    if (combo) {
        new ComboTextFitter(combo);
    }
}

}  // namespace tw::ui
