#include "testmain.h"

#include "widgets/messagebox.h"
#include "base/translatorloader.h"

#include <QPushButton>
#include <QTranslator>

// Loading the compiled-in translations and seeing them in the program's own boxes.
class TestTranslator : public QObject
{
    Q_OBJECT

    QTranslator translator;

    static QString yesText() { return QCoreApplication::translate("MessageBox", "&Yes"); }

private slots:
    void cleanup()
    {
        loadTranslator(&translator, QStringLiteral("en_EN"));
        MessageBox::setAnswerHook({});
    }

    void languages_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("yes");
        QTest::addColumn<QString>("errorTitle");
        QTest::newRow("German") << "de_DE" << true << "&Ja"
                                << "Ombrelay-Fehler";
        QTest::newRow("Polish") << "pl_PL" << true << "&Tak"
                                << "Błąd Ombrelay";
        QTest::newRow("English") << "en_EN" << false << "&Yes"
                                 << "Ombrelay Error";
        QTest::newRow("no such file") << "fr_FR" << false << "&Yes"
                                      << "Ombrelay Error";
    }
    void languages()
    {
        QFETCH(QString, language);
        QFETCH(bool, installed);
        QFETCH(QString, yes);
        QFETCH(QString, errorTitle);
        if (!installed && language != QLatin1String("en_EN"))
            QTest::ignoreMessage(QtDebugMsg, "Can not load translator");
        QCOMPARE(loadTranslator(&translator, language), installed);
        QCOMPARE(yesText(), yes);

        QString title;
        MessageBox::setAnswerHook([&](QDialog *box) {
            title = box->windowTitle();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        MessageBox::critical(nullptr, QStringLiteral("x"));
        QCOMPARE(title, errorTitle);
    }

    void germanButtonsInABox()
    {
        QVERIFY(loadTranslator(&translator, QStringLiteral("de_DE")));
        QStringList buttons;
        MessageBox::setAnswerHook([&](QDialog *box) {
            for (QPushButton *b : box->findChildren<QPushButton *>())
                buttons << b->text();
            // The source text finds the translated button too.
            QVERIFY(MessageBox::clickButton(box, QStringLiteral("&No")));
        });
        const MessageBox::Answer answer =
            MessageBox::questionYesAllNoCancel(nullptr, QStringLiteral("?"), QMessageBox::Question, MessageBox::Yes);
        QCOMPARE(answer, MessageBox::No);
        QCOMPARE(buttons, (QStringList{"Ja für &alle", "&Ja", "&Nein", "&Abbrechen"}));
    }

    void switchingBackRemovesTheTranslation()
    {
        QVERIFY(loadTranslator(&translator, QStringLiteral("pl_PL")));
        QVERIFY(loadTranslator(&translator, QStringLiteral("de_DE")));
        QCOMPARE(yesText(), QStringLiteral("&Ja"));
        QVERIFY(!loadTranslator(&translator, QStringLiteral("en_EN")));
        QCOMPARE(yesText(), QStringLiteral("&Yes"));
        // A failed load after a good one leaves nothing installed.
        QVERIFY(loadTranslator(&translator, QStringLiteral("de_DE")));
        QTest::ignoreMessage(QtDebugMsg, "Can not load translator");
        QVERIFY(!loadTranslator(&translator, QStringLiteral("xx_XX")));
        QCOMPARE(yesText(), QStringLiteral("&Yes"));
    }
};

OMBRELAY_TEST_MAIN(TestTranslator)
#include "tst_translator.moc"
