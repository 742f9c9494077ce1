#include "testmain.h"

#include "app/mainwindow.h"
#include "widgets/messagebox.h"
#include "modules/modulefactory.h"
#include "base/settings.h"
#include "app/settingspage.h"
#include "app/startup.h"
#include "app/toprightwidget.h"
#include "ui_mainwindow.h"
#include "base/translatorloader.h"
#include "document/docitem.h"
#include "document/itemproperty.h"

#include <QDomDocument>
#include <QIntValidator>
#include <QMessageBox>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>

// The start of a full instance, run the way main runs it.
class TestStartUp : public QObject
{
    Q_OBJECT

    QTemporaryDir mediaDir;

private slots:
    void init()
    {
        QSettings().clear();
        for (auto key : {Settings::PathPictures, Settings::PathVideo, Settings::PathMusic})
            Settings::setString(key, mediaDir.path());
        registerStartUpServices();
        // The window's own pages are not under test; without them it starts no receiver search.
        ModuleFactory::clear();
    }
    void cleanup()
    {
        MessageBox::setAnswerHook({});
        qApp->setStyleSheet(QString());
        QSettings().clear();
    }

    void languageButtonIsChecked_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("button");
        const QString english = QStringLiteral("englishRadioButton");
        QTest::newRow("missing") << false << QString() << "en_EN" << english;
        QTest::newRow("empty") << true << QString("") << "en_EN" << english;
        QTest::newRow("English") << true << "en_EN"
                                 << "en_EN" << english;
        QTest::newRow("German") << true << "de_DE"
                                << "de_DE"
                                << "radioButton_2";
        QTest::newRow("Polish") << true << "pl_PL"
                                << "pl_PL"
                                << "radioButton_3";
        QTest::newRow("unknown") << true << "fr_FR"
                                 << "fr_FR" << english;
    }
    void languageButtonIsChecked()
    {
        QFETCH(bool, stored);
        QFETCH(QString, value);
        QFETCH(QString, language);
        QFETCH(QString, button);
        if (stored)
            QSettings().setValue(QStringLiteral("preferredLanguage"), value);

        QCOMPARE(startUpLanguage(), language);
        MainWindow window;
        prepareMainWindow(window, startUpLanguage());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QList<QRadioButton *> buttons =
            window.settingsPage()->pnlLanguageSelection->findChildren<QRadioButton *>();
        QStringList checked;
        for (const QRadioButton *candidate : buttons) {
            if (candidate->isChecked())
                checked << candidate->objectName();
        }
        QCOMPARE(checked, QStringList{button});
        const bool translated = language == QLatin1String("de_DE") || language == QLatin1String("pl_PL");
        QCOMPARE(!window.translator()->isEmpty(), translated);
        // Opening the page keeps the choice.
        window.gotoSettings();
        QVERIFY(window.settingsPage()->findChild<QRadioButton *>(button)->isChecked());
        loadTranslator(window.translator(), QStringLiteral("en_EN"));
    }

    void windowIsPrepared()
    {
        MainWindow window;
        prepareMainWindow(window, startUpLanguage());
        QCOMPARE(window.windowFlags(), Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        QCOMPARE(window.windowTitle(), QCoreApplication::applicationName());
        QVERIFY(window.form()->centralWidget->testAttribute(Qt::WA_MouseTracking));
        QVERIFY(qApp->styleSheet().contains(QStringLiteral("#logoWidget")));
    }

    // Linux fonts and the longer translations must not cut texts off.
    void textsFit_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << "en_EN";
        QTest::newRow("German") << "de_DE";
        QTest::newRow("Polish") << "pl_PL";
    }
    void textsFit()
    {
        QFETCH(QString, language);
        MainWindow window;
        prepareMainWindow(window, language);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto restoreEnglish = qScopeGuard([&] { loadTranslator(window.translator(), QStringLiteral("en_EN")); });

        // The empty receiver tree's text.
        QCOMPARE(window.treeModel()->rowCount(), 1);
        const QString text = window.treeModel()->index(0, 0).data().toString();
        QVERIFY(!text.isEmpty());
        const int needed = static_cast<const QAbstractItemView *>(window.form()->tvDevices)->sizeHintForColumn(0);
        const int room = window.form()->tvDevices->viewport()->width();
        QVERIFY2(needed <= room,
                 qPrintable(QStringLiteral("\"%1\" needs %2 px of %3").arg(text).arg(needed).arg(room)));

        // The title bar's buttons on every page.
        for (int page = 0; page < 3; ++page) {
            window.form()->appStackedWidget->setCurrentIndex(page);
            const QList<TopRightWidget *> bars =
                window.form()->appStackedWidget->currentWidget()->findChildren<TopRightWidget *>();
            QCOMPARE(bars.size(), 1);
            QTRY_VERIFY(bars.first()->isVisible());
            QVERIFY(bars.first()->width() >= 250);
            for (const QPushButton *button : {bars.first()->btnSettings, bars.first()->btnHelp, bars.first()->btnAbout})
                QTRY_VERIFY2(button->width() >= button->sizeHint().width(),
                             qPrintable(QStringLiteral("%1: %2 < %3")
                                            .arg(button->text())
                                            .arg(button->width())
                                            .arg(button->sizeHint().width())));
        }
        if (language == QLatin1String("en_EN"))
            QCOMPARE(window.form()->topRightWidget->width(), 250);
    }

    void rejectedValueShowsErrorBox()
    {
        QStringList texts;
        QStringList titles;
        QList<QMessageBox::Icon> icons;
        QList<QWidget *> parents;
        MessageBox::setAnswerHook([&](QDialog *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            QVERIFY(box);
            texts << box->text();
            titles << box->windowTitle();
            icons << box->icon();
            parents << box->parentWidget();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QDomDocument document;
        QVERIFY(document.setContent(QStringLiteral("<tvService><num>12</num></tvService>")));
        DocItem item = document.documentElement();
        QWidget editor;
        QIntValidator validator(0, 99, &editor);
        ItemProperty number(QStringLiteral("N"), QStringLiteral("N"), QStringLiteral("num"), 4, Qt::ItemIsEnabled,
                            QString(), nullptr, 0);
        number.setValidator(&validator);

        number.setValue(item, QStringLiteral("500"), Qt::EditRole);
        QCOMPARE(texts, QStringList{QStringLiteral("Entered value is invalid!")});
        QCOMPARE(titles, QStringList{QStringLiteral("Ombrelay Error")});
        QCOMPARE(icons, QList<QMessageBox::Icon>{QMessageBox::Critical});
        QCOMPARE(parents, QList<QWidget *>{&editor});

        QVERIFY(number.setValue(item, QStringLiteral("42"), Qt::EditRole));
        QCOMPARE(texts.size(), 1);
        QCOMPARE(item.firstChildElement(QStringLiteral("num")).text(), QStringLiteral("42"));
    }
};

OMBRELAY_TEST_MAIN(TestStartUp)
#include "tst_startup.moc"
