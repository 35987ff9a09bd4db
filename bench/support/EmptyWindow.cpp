// An empty Qt window at the main window's designed size: the floor of a Qt
// program's start-up to its first painted window (bench/StartupGuiBench.cpp).
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(697, 604);
    window.show();
    return QApplication::exec();
}
