#include "appfixture.h"
#include "testmain.h"

#include "app/mainwindow.h"
#include "app/settingspage.h"
#include "app/startup.h"
#include "app/toprightwidget.h"
#include "base/translatorloader.h"
#include "document/docitem.h"
#include "document/itemproperty.h"
#include "modules/modulefactory.h"
#include "ui_mainwindow.h"

#include <QDirIterator>
#include <QDomDocument>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImageReader>
#include <QIntValidator>
#include <QMovie>
#include <QRegularExpression>
#include <QScopeGuard>

// The start of a full instance, run the way main runs it, with the pictures and fonts it relies on.
class TestStartUp : public QObject
{
    Q_OBJECT
    QTemporaryDir media;

private slots:
    void init()
    {
        freshSettings(media);
        registerStartUpServices();
        // The window's own pages are not under test; without them it starts no receiver search.
        ModuleFactory::clear();
    }
    void cleanup()
    {
        MessageBox::setAnswerHook({});
        qApp->setStyleSheet(QString());
    }

    void languageButtonIsChecked_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("button"); // English, German, Polish
        QTest::addColumn<QString>("manual");
        QTest::newRow("missing") << QVariant() << "en_EN" << 0 << "eng";
        QTest::newRow("empty") << QVariant("") << "en_EN" << 0 << "eng";
        QTest::newRow("English") << QVariant("en_EN") << "en_EN" << 0 << "eng";
        QTest::newRow("German") << QVariant("de_DE") << "de_DE" << 1 << "ger";
        QTest::newRow("Polish") << QVariant("pl_PL") << "pl_PL" << 2 << "pol";
        QTest::newRow("unknown") << QVariant("fr_FR") << "fr_FR" << 0 << "eng";
        QTest::newRow("case differs") << QVariant("DE_de") << "DE_de" << 0 << "ger";
    }
    void languageButtonIsChecked()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, language);
        QFETCH(int, button);
        const QString buttonName = QStringList{"englishRadioButton", "radioButton_2", "radioButton_3"}.at(button);
        if (stored.isValid())
            QSettings().setValue(QStringLiteral("preferredLanguage"), stored);
        QCOMPARE(startUpLanguage(), language);
        QFETCH(QString, manual); // the help key opens the manual of the stored language
        QCOMPARE(MainWindow::helpFilePath(),
                 QCoreApplication::applicationDirPath() + "/help/ombrelay_help_" + manual + ".pdf");
        MainWindow window;
        prepareMainWindow(window, startUpLanguage());
        const auto english = qScopeGuard([&] { loadTranslator(window.translator(), QStringLiteral("en_EN")); });
        QStringList checked;
        for (const QRadioButton *candidate : window.settingsPage()->findChildren<QRadioButton *>())
            if (candidate->isChecked())
                checked << candidate->objectName();
        QCOMPARE(checked, QStringList{buttonName});
        QCOMPARE(!window.translator()->isEmpty(), language == "de_DE" || language == "pl_PL");
        window.gotoSettings(); // opening the page keeps the choice
        QVERIFY(window.settingsPage()->findChild<QRadioButton *>(buttonName)->isChecked());
    }

    // Linux fonts and the longer translations must not cut texts off; the style sheet applies cleanly.
    void windowIsPreparedAndTextsFit_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << "en_EN";
        QTest::newRow("German") << "de_DE";
        QTest::newRow("Polish") << "pl_PL";
    }
    void windowIsPreparedAndTextsFit()
    {
        QFETCH(QString, language);
        QTest::failOnWarning(QRegularExpression("style ?sheet|parse|image", QRegularExpression::CaseInsensitiveOption));
        MainWindow window;
        Ui::MainWindow *ui = window.form();
        prepareMainWindow(window, language);
        const auto english = qScopeGuard([&] { loadTranslator(window.translator(), QStringLiteral("en_EN")); });
        QCOMPARE(window.windowFlags(), Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        QCOMPARE(window.windowTitle(), QCoreApplication::applicationName());
        QVERIFY(ui->centralWidget->testAttribute(Qt::WA_MouseTracking));
        QVERIFY(qApp->styleSheet().contains(QStringLiteral("#logoWidget")));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The empty receiver tree's text.
        const int needed = static_cast<const QAbstractItemView *>(ui->tvDevices)->sizeHintForColumn(0);
        QVERIFY2(needed <= ui->tvDevices->viewport()->width(), qPrintable(QString::number(needed)));
        // The title bar's buttons on every page.
        for (int page = 0; page < 3; ++page) {
            ui->appStackedWidget->setCurrentIndex(page);
            const auto bars = ui->appStackedWidget->currentWidget()->findChildren<TopRightWidget *>();
            QCOMPARE(bars.size(), 1);
            QTRY_VERIFY(bars.first()->isVisible());
            QVERIFY(bars.first()->width() >= 250);
            for (const QPushButton *button : {bars.first()->btnSettings, bars.first()->btnHelp, bars.first()->btnAbout})
                QTRY_VERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
        }
        if (language == QLatin1String("en_EN"))
            QCOMPARE(ui->topRightWidget->width(), 250);
    }

    void rejectedValueShowsErrorBox()
    {
        BoxAnswers boxes;
        QDomDocument document;
        document.setContent(QStringLiteral("<tvService><num>12</num></tvService>"));
        DocItem item = document.documentElement();
        QIntValidator validator(0, 99);
        ItemProperty number("N", "N", "num", 4, Qt::ItemIsEnabled, QString(), nullptr, 0);
        number.setValidator(&validator);
        number.setValue(item, QStringLiteral("500"), Qt::EditRole);
        QCOMPARE(boxes.texts, QStringList{"Entered value is invalid!"});
        QCOMPARE(boxes.titles, QStringList{"Ombrelay Error"});
        QVERIFY(number.setValue(item, QStringLiteral("42"), Qt::EditRole));
        QCOMPARE(boxes.texts.size(), 1);
        QCOMPARE(item.firstChildElement(QStringLiteral("num")).text(), QStringLiteral("42"));
    }

    // Windows font names of the forms resolve to an installed family, monospace to monospace.
    void windowsFontsResolve()
    {
        const QStringList installed = QFontDatabase::families();
        for (const QString family : {"Segoe UI", "MS Shell Dlg 2", "Tahoma", "Courier New"}) {
            const QStringList substitutes = QFont::substitutes(family);
            if (installed.contains(family, Qt::CaseInsensitive)) {
                QCOMPARE(substitutes, QStringList());
                continue;
            }
            QCOMPARE(substitutes.size(), 1); // once, though start-up ran before every test
            QVERIFY(installed.contains(substitutes.first(), Qt::CaseInsensitive));
            QCOMPARE(QFontInfo(QFont(family)).family().toLower(), substitutes.first().toLower());
        }
        QVERIFY(QFontInfo(QFont(QStringLiteral("Courier New"))).fixedPitch());
    }

    // Every picture the style sheet, the forms and the code name loads; the busy indicator moves.
    void everyNamedImageLoads()
    {
        QStringList paths;
        const QRegularExpression named(QStringLiteral("(:/(?:images|icons|docs)/[\\w/.-]+)[\"<)]"));
        QDirIterator it(qEnvironmentVariable("OMBRELAY_SOURCE_DIR"), {"*.ui", "*.qss", "*.cpp", "*.h"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (!file.fileName().contains(QLatin1String("/tests/")) && file.open(QIODevice::ReadOnly))
                for (auto match = named.globalMatch(QString::fromUtf8(file.readAll())); match.hasNext();)
                    paths << match.next().captured(1);
        }
        paths.removeDuplicates();
        QVERIFY2(paths.size() >= 40, qPrintable(paths.join(' ')));
        for (const QString &path : std::as_const(paths)) {
            QImageReader reader(path);
            QVERIFY2(!reader.read().isNull(), qPrintable(path + ": " + reader.errorString()));
        }
        QMovie movie(QStringLiteral(":/icons/icons/loader.gif"));
        QVERIFY(movie.frameCount() > 1 && movie.jumpToFrame(0));
        const QImage first = movie.currentImage();
        QVERIFY(movie.jumpToFrame(1));
        QVERIFY(first != movie.currentImage());
        QCOMPARE(qAlpha(first.pixel(0, 0)), 0);
    }
};

OMBRELAY_TEST_MAIN(TestStartUp)
#include "tst_startup.moc"
