// quorbel-mapmaker: starts with the main window; closing it ends the program.
#include <QApplication>

#include "ui/Program.h"
#include "ui/WindowLook.h"

int main(int argc, char** argv) {
    // The program reads no command line: Qt sees the program name alone.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("quorbel-mapmaker"));
    QApplication::setDesktopFileName(QStringLiteral("org.quorbel.MapMaker"));
    QApplication::setWindowIcon(quorbel::ui::ProgramIcon());
    quorbel::ui::Program program;
    program.Main().show();
    return QApplication::exec();
}
