// Test entry of every folder but the window's: its tests need event loops and images, no widgets.
#include "Common/TestEntry.h"

#include <QGuiApplication>

int main(int argc, char** argv)
{
    return runAllTests<QGuiApplication>(argc, argv);
}
