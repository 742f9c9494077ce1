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
        /* one headless screen of the size the main window opens with on a first start, so a window is */           \
        /* never larger than its screen and page tests measure at the window's default size */                        \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qgetenv("QT_QPA_PLATFORM") == "offscreen") {             \
            const QByteArray source = qgetenv("OMBRELAY_SOURCE_DIR");                                                  \
            qputenv("QT_QPA_PLATFORM", source.isEmpty() ? QByteArray("offscreen")                                      \
                                                        : "offscreen:configfile=" + source +                           \
                                                              "/tests/support/offscreen-screen.json");                 \
        }                                                                                                              \
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
