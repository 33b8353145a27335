// Showing forms modally: the call returns once the form is hidden or closed, for dialogs and
// plain widgets alike; a test handler receives the form instead.
#include <gtest/gtest.h>

#include <QDialog>
#include <QTimer>
#include <QWidget>

#include "shell/ModalForm.h"

using tw::shell::SetModalFormHandler;
using tw::shell::ShowFormModal;
using tw::shell::ShowModal;

TEST(ModalForm, DialogReturnsWhenItHidesItself) {
    QDialog dialog;
    QTimer::singleShot(0, &dialog, [&] { dialog.hide(); });
    ShowModal(dialog);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(ModalForm, PlainWidgetReturnsWhenClosed) {
    QWidget form;
    bool wasModal = false;
    QTimer::singleShot(0, &form, [&] {
        wasModal = form.isVisible() && form.windowModality() == Qt::ApplicationModal;
        form.close();
    });
    ShowModal(form);
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(form.isVisible());
}

TEST(ModalForm, HandlerReceivesTheFormInsteadOfShowingIt) {
    QStringList seen;
    SetModalFormHandler([&](QWidget& form) { seen << form.objectName(); });
    struct Named : QDialog {
        Named() { setObjectName("frmNamed"); }
    };
    ShowFormModal<Named>();
    SetModalFormHandler(nullptr);
    EXPECT_EQ(seen, QStringList{"frmNamed"});
}
