#pragma once

// Test start-up that gives every test process its own empty Documents folder
// (QStandardPaths resolves it from HOME and XDG_CONFIG_HOME), so no test reads
// or writes a real settings file.

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace TestEnvironment {

inline QTemporaryDir &home()
{
    static QTemporaryDir dir;
    return dir;
}

inline void useTemporaryHome()
{
    qputenv("HOME", home().path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home().path() + "/.config").toLocal8Bit());
    qunsetenv("XDG_DOCUMENTS_DIR");
}

inline QString documentsDir()
{
    return home().path() + "/Documents";
}

} // namespace TestEnvironment

// Application is QCoreApplication or QApplication (include its header first).
#define KORVANTA_TEST_MAIN(Application, TestObject)                                                \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        TestEnvironment::useTemporaryHome();                                                       \
        Application app(argc, argv);                                                               \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
