// Message boxes and file choosers that tests can script. In the program they show Qt dialogs;
// a test installs a handler that records each call and returns a chosen answer, so no test
// ever blocks on a dialog.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace tw::ui {

// The form runtime's button and icon flags, combined with |.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,  // the second button is the default (No of Yes/No)
};
enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

int MsgBox(const QString& text, int style = vbOKOnly, const QString& title = QString());

struct MsgBoxCall {
    QString text;
    int style;
    QString title;
};
using MsgBoxHandler = std::function<int(const MsgBoxCall&)>;
// Installs a handler for every later MsgBox call (nullptr restores the real dialog).
void SetMsgBoxHandler(MsgBoxHandler handler);

// File choosers: return the chosen path, or empty text when cancelled. They start in dir (a
// folder, or a file name they propose; the toolkit's choice when empty) and list the files of the
// filter, written "描述(*.ext)". The save chooser adds the filter's extension to a name that does
// not already end with it (a name with dots of its own gets it too), whether the name comes from
// the dialog or from a scripted handler.
QString GetOpenFileName(const QString& title, const QString& filter, const QString& dir = {});
// confirmOverwrite=false for callers that ask about an existing file themselves.
QString GetSaveFileName(const QString& title, const QString& filter, const QString& dir = {},
                        bool confirmOverwrite = true);
// Installs a handler for every later chooser (nullptr restores the real dialog). The first kind
// is told whether the chooser saves and its title; the second everything it is opened with.
using FileDialogHandler = std::function<QString(bool save, const QString& title)>;
void SetFileDialogHandler(FileDialogHandler handler);
struct FileDialogCall {
    bool save = false;
    QString title;
    QString filter;
    QString dir;  // the folder or the file name the chooser proposes
};
using FileDialogCallHandler = std::function<QString(const FileDialogCall&)>;
void SetFileDialogCallHandler(FileDialogCallHandler handler);

}  // namespace tw::ui
