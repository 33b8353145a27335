#include "DataForm.h"

#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>

#include "FormStyle.h"

namespace tw::data {

DataForm::DataForm(QWidget* parent) : QDialog(parent) {
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
}

QLabel* DataForm::Panel(int i) const {
    return panels_.value(i - 1, nullptr);
}

void DataForm::MakeStatusBar(int left, int top, int width, int height,
                             const QList<int>& panelTwips) {
    staMsg_ = new QStatusBar(this);
    staMsg_->setObjectName("staMsg");
    staMsg_->setSizeGripEnabled(false);
    PlaceTwips(staMsg_, left, top, width, height);
    for (int i = 0; i < panelTwips.size(); ++i) {
        auto* label = new QLabel(staMsg_);
        label->setObjectName(QString("panel%1").arg(i + 1));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setFixedWidth(Twips(panelTwips[i]));
        staMsg_->addWidget(label);
        panels_.append(label);
    }
}

void DataForm::OnKeyDown(QWidget* w, std::function<void(int)> handler) {
    keyHandlers_.insert(w, std::move(handler));
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

}  // namespace tw::data
