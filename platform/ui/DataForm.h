// Common ground of the data-entry forms: a modal dialog with the status bar staMsg made of
// fixed-width text panels, key-down handlers in the form runtime's key codes, and no closing by
// the Escape key (the forms close only through their exit button or the close box).
#pragma once

#include <QDialog>
#include <QHash>
#include <QList>
#include <functional>

class QLabel;
class QString;

namespace tw::ui {

class StatusBar;

// Key codes of the key-down handlers.
enum VbKey : int { vbKeyReturn = 13, vbKeyUp = 38, vbKeyDown = 40, vbKeyDelete = 46 };

class DataForm : public QDialog {
    Q_OBJECT
  public:
    explicit DataForm(QWidget* parent = nullptr);

    // Panel i (1-based) of staMsg.
    QLabel* Panel(int i) const;
    ui::StatusBar* StatusBar() const { return staMsg_; }

  protected:
    // Creates staMsg at the given place (twips) with panels of the given widths (twips).
    void MakeStatusBar(int left, int top, int width, int height, const QList<int>& panelTwips);
    // Calls handler(key code) for Enter, Up and Down pressed in w; those keys go no further.
    void OnKeyDown(QWidget* w, const std::function<void(int)>& handler);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    ui::StatusBar* staMsg_ = nullptr;
    QHash<QObject*, std::function<void(int)>> keyHandlers_;
};

}  // namespace tw::ui
