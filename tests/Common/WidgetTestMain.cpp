// Test entry of the window's tests (tests/UI/...): widgets need a QApplication.
#include "Common/TestEntry.h"

#include <QApplication>

int main(int argc, char** argv)
{
    return runAllTests<QApplication>(argc, argv);
}
