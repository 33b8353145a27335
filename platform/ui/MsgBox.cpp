// MsgBox: a scripted handler when one is installed, a Qt message box otherwise. The file
// choosers are in FileChooser.cpp.
#include "MsgBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QScreen>
#include <QSpacerItem>

namespace tw::ui {
namespace {

MsgBoxHandler& Handler() {
    static MsgBoxHandler h;
    return h;
}
// Room a title bar needs beside its text: the window's icon and its buttons.
constexpr int kTitleBarExtra = 160;

// Widens the box so that its title shows whole in the title bar: the box is otherwise only
// as wide as its text and buttons, and a window manager cuts a longer title.
void FitTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    const QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarExtra;
    // A title longer than the screen (a caption with a long path) is cut all the same.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        width = qMin(width, screen->availableGeometry().width() * 9 / 10);
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

int ShowMessageBox(const QString& text, int style, const QString& title) {
    QMessageBox box;
    box.setWindowTitle(title.isEmpty() ? QCoreApplication::applicationName() : title);
    box.setText(text);
    // The icon bits of the style and their icons; other bits show none.
    static constexpr struct {
        int bits;
        QMessageBox::Icon icon;
    } kIcons[] = {{vbCritical, QMessageBox::Critical},
                  {vbQuestion, QMessageBox::Question},
                  {vbExclamation, QMessageBox::Warning},
                  {vbInformation, QMessageBox::Information}};
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    for (const auto& i : kIcons)
        if ((style & 0x70) == i.bits) icon = i.icon;
    box.setIcon(icon);
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
    const bool second = (style & vbDefaultButton2) != 0 && buttons.size() > 1;
    box.setDefaultButton(buttons[second ? 1 : 0].qt);
    FitTitle(box);
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

}  // namespace tw::ui
