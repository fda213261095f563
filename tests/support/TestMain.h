#pragma once

// main of the test programs: Qt Test's own, ended through the platform layer like the
// program's (with the MinGW runtime a process that used Qt's animation timers cannot unload
// its DLLs).

#include "platform/ProcessExit.h"

#include <QTest>

#define QM_TEST_MAIN_WRAPPER(TestObject, ...)                                                      \
    static int RunTests(int argc, char* argv[]) {                                                  \
        QT_PREPEND_NAMESPACE(QTest::Internal::callInitMain)<TestObject>();                         \
        __VA_ARGS__                                                                                \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }                                                                                              \
    int main(int argc, char* argv[]) {                                                             \
        return qm::platform::FinishProcess(RunTests(argc, argv));                                  \
    }

#define QM_TEST_MAIN(TestObject) QM_TEST_MAIN_WRAPPER(TestObject, QTEST_MAIN_SETUP())
#define QM_TEST_GUILESS_MAIN(TestObject)                                                           \
    QM_TEST_MAIN_WRAPPER(TestObject, QTEST_QAPP_SETUP(QCoreApplication))
