// Entry point of the main program: hands over to the start-up procedure.
#include <QApplication>

#include "shell/MdlSubMain.h"
#include "shell/frmMain.h"
#include "shell/mdlPublic.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick395"));
    const std::unique_ptr<frmMain> window = Main(ProgramState());
    if (!window) return 1;
    return QApplication::exec();
}
