#include "StatusBar.h"

#include <QLabel>

#include "FitText.h"
#include "Units.h"

namespace tw::ui {

StatusBar::StatusBar(const std::vector<int>& panelTwips, QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    for (int w : panelTwips) AddPanel(w);
}

QLabel* StatusBar::AddPanel(int widthTwips, const QString& text) {
    // A panel keeps its width; a text wider than the panel is drawn in a smaller font, or cut.
    auto* label = new FitLabel(text, this);
    label->setObjectName(QStringLiteral("Panel%1").arg(panels_.size() + 1));
    label->setFixedWidth(TwipsToPixels(widthTwips));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    addWidget(label);
    panels_.push_back(label);
    return label;
}

QLabel* StatusBar::Panel(int index) const {
    if (index < 1 || index > PanelCount()) return nullptr;
    return panels_[static_cast<size_t>(index - 1)];
}

}  // namespace tw::ui
