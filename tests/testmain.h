#pragma once

// Shared main for every Qt Test executable: a real QApplication (widgets under the offscreen
// platform), stable attribute order in written XML, and settings/paths kept away from the user's.

#include <QApplication>
#include <QFile>
#include <QHashSeed>
#include <QStandardPaths>
#include <QTest>

#define OMBRELAY_TEST_MAIN(TestObject)                                                                                 \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        QHashSeed::setDeterministicGlobalSeed();                                                                       \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                            \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                                   \
        QStandardPaths::setTestModeEnabled(true);                                                                      \
        /* no file dialog state (last folder, history) from an earlier run */                                          \
        QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +                        \
                      QStringLiteral("/QtProject.conf"));                                                              \
        QCoreApplication::setAttribute(Qt::AA_Use96Dpi, true);                                                         \
        QApplication app(argc, argv);                                                                                  \
        QCoreApplication::setOrganizationName(QStringLiteral("Zembrak"));                                              \
        /* one settings file per test executable */                                                                   \
        QCoreApplication::setApplicationName(QStringLiteral("Ombrelay Test ") +                                        \
                                             QCoreApplication::applicationFilePath().section(u'/', -1));               \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }
