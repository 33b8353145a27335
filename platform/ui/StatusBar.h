// A status bar with numbered panels, as the form runtime's: fixed-width labels side by side,
// addressed from 1. Panel texts stay until code changes them (no temporary messages). A text
// wider than its panel is drawn in a smaller font (the panel's font() tells which), never below
// 8 pt; one still too wide is cut with "…" and shows whole as the panel's tooltip (FitLabel).
#pragma once

#include <QStatusBar>
#include <vector>

class QLabel;

namespace tw::ui {

class StatusBar : public QStatusBar {
    Q_OBJECT
  public:
    // One panel per width (in twips); panel i gets the object name "Panel<i>".
    explicit StatusBar(const std::vector<int>& panelTwips = {}, QWidget* parent = nullptr);
    QLabel* AddPanel(int widthTwips, const QString& text = QString());
    QLabel* Panel(int index) const;  // 1-based; nullptr when there is no such panel
    int PanelCount() const { return static_cast<int>(panels_.size()); }

  private:
    std::vector<QLabel*> panels_;
};

}  // namespace tw::ui
