// Entry point of the main program: hands over to the start-up procedure.
#include <QApplication>

#include "shell/AppState.h"
#include "shell/MdlSubMain.h"
#include "shell/frmMain.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick395"));
    tw::shell::AppState state;
    const std::unique_ptr<tw::shell::frmMain> window = Main(state);
    if (!window) return 1;
    return QApplication::exec();
}
