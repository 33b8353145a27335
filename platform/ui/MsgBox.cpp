// MsgBox and the file choosers: a scripted handler when one is installed, Qt dialogs otherwise.
#include "MsgBox.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace tw::ui {
namespace {

MsgBoxHandler& Handler() {
    static MsgBoxHandler h;
    return h;
}
FileDialogCallHandler& FileHandler() {
    static FileDialogCallHandler h;
    return h;
}

int ShowMessageBox(const QString& text, int style, const QString& title) {
    QMessageBox box;
    box.setWindowTitle(title.isEmpty() ? QCoreApplication::applicationName() : title);
    box.setText(text);
    switch (style & 0x70) {
        case vbCritical:
            box.setIcon(QMessageBox::Critical);
            break;
        case vbQuestion:
            box.setIcon(QMessageBox::Question);
            break;
        case vbExclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case vbInformation:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            box.setIcon(QMessageBox::NoIcon);
    }
    struct B {
        QMessageBox::StandardButton qt;
        int result;
    };
    std::vector<B> buttons;
    switch (style & 0x7) {
        case vbOKCancel:
            buttons = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
            break;
        case vbYesNoCancel:
            buttons = {{QMessageBox::Yes, vbYes},
                       {QMessageBox::No, vbNo},
                       {QMessageBox::Cancel, vbCancel}};
            break;
        case vbYesNo:
            buttons = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
            break;
        default:
            buttons = {{QMessageBox::Ok, vbOK}};
    }
    QMessageBox::StandardButtons set;
    for (const B& b : buttons) set |= b.qt;
    box.setStandardButtons(set);
    box.setDefaultButton(buttons.front().qt);
    const int clicked = box.exec();
    for (const B& b : buttons)
        if (clicked == b.qt) return b.result;
    // Closed without a button: Cancel when offered, else the only (first) button.
    for (const B& b : buttons)
        if (b.result == vbCancel) return vbCancel;
    return buttons.front().result;
}

}  // namespace

int MsgBox(const QString& text, int style, const QString& title) {
    if (Handler()) return Handler()(MsgBoxCall{text, style, title});
    return ShowMessageBox(text, style, title);
}

void SetMsgBoxHandler(MsgBoxHandler handler) {
    Handler() = std::move(handler);
}

QString GetOpenFileName(const QString& title, const QString& filter, const QString& dir) {
    if (FileHandler()) return FileHandler()({false, title, filter, dir});
    return QFileDialog::getOpenFileName(nullptr, title, dir, filter);
}

QString GetSaveFileName(const QString& title, const QString& filter, const QString& dir,
                        bool confirmOverwrite) {
    if (FileHandler()) return FileHandler()({true, title, filter, dir});
    const QFileDialog::Options options =
        confirmOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite;
    return QFileDialog::getSaveFileName(nullptr, title, dir, filter, nullptr, options);
}

void SetFileDialogHandler(FileDialogHandler handler) {
    if (!handler) {
        FileHandler() = nullptr;
        return;
    }
    FileHandler() = [handler = std::move(handler)](const FileDialogCall& call) {
        return handler(call.save, call.title);
    };
}

void SetFileDialogCallHandler(FileDialogCallHandler handler) {
    FileHandler() = std::move(handler);
}

}  // namespace tw::ui
