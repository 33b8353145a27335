#include "DataForm.h"

#include <QKeyEvent>
#include <QLabel>
#include <QTreeWidgetItem>
#include <exception>

#include "DataListView.h"
#include "FormStyle.h"
#include "shell/mdlPublic.h"
#include "ui/MsgBox.h"
#include "ui/StatusBar.h"

namespace tw::data {

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

void DataForm::ModifyNames(DataListView* list, const QString& table, const QString& code,
                           const QString& name, const QString& fullName, const QString& shortName) {
    using tw::db::SqlQ;
    try {
        KbDb().Execute("Update " + table + " Set Name = '" + SqlQ(name) + "',FullName = '" +
                           SqlQ(fullName) + "',ShortName = '" + SqlQ(shortName) +
                           "' Where Code = '" + SqlQ(code) + "'",
                       0);
        // An update that matched no record changed nothing: that is no success.
        if (KbDb().RecordsAffected() == 0) {
            throw tw::db::DbError("no record with this code");
        }
    } catch (const std::exception&) {
        Panel(1)->setText("修改记录失败");
        tw::ui::MsgBox("修改记录失败,代码为" + code + "的记录未被修改", tw::ui::vbInformation,
                       "更修改失败");
        return;
    }
    Panel(1)->setText("修改记录成功！修改了1条记录");
    QTreeWidgetItem* row = list->FindRow(code);
    if (row) {
        row->setText(1, name);
        row->setText(2, fullName);
        row->setText(3, shortName);
    }
    list->setFocus();
    list->SelectRow(row);
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

}  // namespace tw::data
