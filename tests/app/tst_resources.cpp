#include "testmain.h"

#include <QFile>
#include <QTranslator>

// The resource bundle is linked into every executable: the compiled translations must be there.
class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void translationsAreCompiledIn_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("German") << QStringLiteral("de_DE");
        QTest::newRow("Polish") << QStringLiteral("pl_PL");
    }
    void translationsAreCompiledIn()
    {
        QFETCH(QString, language);
        QVERIFY(QFile::exists(QStringLiteral(":/translations/Resources/MUI/%1.qm").arg(language)));
        QTranslator translator;
        QVERIFY(translator.load(language, QStringLiteral(":/translations/Resources/MUI/")));
    }
};

OMBRELAY_TEST_MAIN(TestResources)
#include "tst_resources.moc"
