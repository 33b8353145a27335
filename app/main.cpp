// Entry point of the main program: hands over to the start-up procedure.
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}
