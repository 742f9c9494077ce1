#include "testmain.h"

#include "app/fontsubstitutes.h"

#include <QFontDatabase>
#include <QFontInfo>

// Windows font names of the forms resolve to an installed family after start-up registered substitutes.
class TestFontSubstitutes : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutes(); }

    void windowsFamiliesResolve_data()
    {
        QTest::addColumn<QString>("family");
        QTest::newRow("Segoe UI") << QStringLiteral("Segoe UI");
        QTest::newRow("MS Shell Dlg 2") << QStringLiteral("MS Shell Dlg 2");
        QTest::newRow("Tahoma") << QStringLiteral("Tahoma");
        QTest::newRow("Courier New") << QStringLiteral("Courier New");
    }
    void windowsFamiliesResolve()
    {
        QFETCH(QString, family);
        const QStringList installed = QFontDatabase::families();
        if (installed.contains(family, Qt::CaseInsensitive)) {
            QCOMPARE(QFont::substitutes(family), QStringList());
            return;
        }
        const QStringList substitutes = QFont::substitutes(family);
        QCOMPARE(substitutes.size(), 1);
        QVERIFY(installed.contains(substitutes.first(), Qt::CaseInsensitive));
        // The font matcher follows the substitution.
        QCOMPARE(QFontInfo(QFont(family)).family().toLower(), substitutes.first().toLower());
    }

    void monospaceStaysMonospace()
    {
        if (QFontDatabase::families().contains(QStringLiteral("Courier New")))
            QSKIP("the real font is installed");
        QVERIFY(QFontInfo(QFont(QStringLiteral("Courier New"))).fixedPitch());
    }

    void secondCallAddsNothing()
    {
        const QStringList before = QFont::substitutes(QStringLiteral("Segoe UI"));
        installFontSubstitutes();
        QCOMPARE(QFont::substitutes(QStringLiteral("Segoe UI")), before);
    }
};

OMBRELAY_TEST_MAIN(TestFontSubstitutes)
#include "tst_fontsubstitutes.moc"
