#pragma once
// The entry of a Qt Test suite: a private XDG folder for the run, the
// program's application object, then the tests of `TestClass`.
#include "app/TwApplication.h"
#include "support/TestEnvironment.h"

#include <QtTest>

#define TW_QTEST_MAIN(TestClass)                                                                                       \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        tw::test::installEnvironment();                                                                                \
        tw::TwApplication app(argc, argv);                                                                             \
        TestClass tc;                                                                                                  \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }
