#include "DataForm.h"

#include <QKeyEvent>
#include <QLabel>

#include "FormStyle.h"
#include "StatusBar.h"

namespace tw::ui {

DataForm::DataForm(QWidget* parent) : QDialog(parent) {
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
}

QLabel* DataForm::Panel(int i) const {
    return staMsg_ ? staMsg_->Panel(i) : nullptr;
}

void DataForm::MakeStatusBar(int left, int top, int width, int height,
                             const QList<int>& panelTwips) {
    staMsg_ = new tw::ui::StatusBar(std::vector<int>(panelTwips.begin(), panelTwips.end()), this);
    staMsg_->setObjectName("staMsg");
    PlaceTwips(staMsg_, left, top, width, height);
}

void DataForm::OnKeyDown(QWidget* w, const std::function<void(int)>& handler) {
    keyHandlers_.insert(w, handler);
    w->installEventFilter(this);
}

bool DataForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto it = keyHandlers_.find(watched);
        if (it != keyHandlers_.end()) {
            int code = 0;
            switch (static_cast<QKeyEvent*>(event)->key()) {
                case Qt::Key_Return:
                case Qt::Key_Enter:
                    code = vbKeyReturn;
                    break;
                case Qt::Key_Up:
                    code = vbKeyUp;
                    break;
                case Qt::Key_Down:
                    code = vbKeyDown;
                    break;
                default:
                    break;
            }
            if (code != 0) {
                auto handler = it.value();  // the handler may change the form
                handler(code);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void DataForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace tw::ui
