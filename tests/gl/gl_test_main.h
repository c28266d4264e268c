#pragma once

// main() of a GL test: a fresh home for the program's files, the 3D view's context
// format chosen before the application exists, and the X display of xvfb-run.

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include "stage_view.h"
#include "test_environment.h"

#define TAVRELIA_GL_TEST_MAIN(TestClass)                           \
    int main(int argc, char* argv[])                               \
    {                                                              \
        QTemporaryDir home;                                        \
        tavrelia::test::isolateEnvironment(home);                  \
        tavrelia::StageView::requestDefaultFormat();               \
        QApplication app(argc, argv);                              \
        TestClass test;                                            \
        return QTest::qExec(&test, argc, argv);                    \
    }
