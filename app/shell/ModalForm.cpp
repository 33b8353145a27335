#include "ModalForm.h"

#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>

namespace tw::shell {

namespace {

ModalFormHandler& Handler() {
    static ModalFormHandler handler;
    return handler;
}

// Ends a local event loop when the watched widget is hidden or closed.
class HideWatcher : public QObject {
  public:
    HideWatcher(QWidget& form, QEventLoop& loop) : loop_(loop) { form.installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide || event->type() == QEvent::Close) loop_.quit();
        return QObject::eventFilter(watched, event);
    }

  private:
    QEventLoop& loop_;
};

}  // namespace

void SetModalFormHandler(ModalFormHandler handler) {
    Handler() = std::move(handler);
}

void ShowModal(QWidget& form) {
    if (Handler()) {
        Handler()(form);
        return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(&form)) {
        dialog->exec();
        return;
    }
    QEventLoop loop;
    HideWatcher watcher(form, loop);
    form.setWindowModality(Qt::ApplicationModal);
    form.show();
    QPointer<QWidget> guard(&form);
    if (guard && guard->isVisible()) loop.exec();
}

}  // namespace tw::shell
