#include "testmain.h"

#include "base/translatorloader.h"
#include "ui_radiolistmodule.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTranslator>

// The radio form on a plain widget, as the radio module will apply it to itself: what the module's code
// and the style sheet reach by name, the page and tab order they switch by index, and the sizes that must
// hold whatever the window size.
class TestRadioForm : public QObject
{
    Q_OBJECT

    struct Form
    {
        QWidget widget;
        Ui::RadioListModule ui;
        Form() { ui.setupUi(&widget); }
    };

    static QString childNames(QWidget *container, int count, QWidget *(*at)(QWidget *, int))
    {
        QStringList names;
        for (int i = 0; i < count; ++i)
            names << at(container, i)->objectName();
        return names.join(u',');
    }

private slots:
    void initTestCase()
    {
        // The application style sheet addresses these widgets by name and sets the tab fonts.
        QFile style(QStringLiteral(":/styles/style"));
        QVERIFY(style.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromUtf8(style.readAll()));
    }

    void pagesAndIndexes_data()
    {
        QTest::addColumn<QString>("container");
        QTest::addColumn<QString>("pages");
        QTest::addColumn<int>("current");
        QTest::newRow("stackedWidget") << "stackedWidget"
                                       << "ModuleWelcomePage,EditorPage,DataTransferPage,ExportPage,HelpPage" << 1;
        QTest::newRow("tabServiceProperties") << "tabServiceProperties"
                                              << "tab,tab_2,transportStreamTab" << 0;
        QTest::newRow("serviceOrLinkSW") << "serviceOrLinkSW"
                                         << "servicePage,linkPage" << 0;
        QTest::newRow("listsTabWidget") << "listsTabWidget"
                                        << "" << -1;
    }
    void pagesAndIndexes()
    {
        QFETCH(QString, container);
        QFETCH(QString, pages);
        QFETCH(int, current);
        Form form;
        QWidget *box = form.widget.findChild<QWidget *>(container);
        QVERIFY(box);
        if (auto *stack = qobject_cast<QStackedWidget *>(box)) {
            QCOMPARE(childNames(stack, stack->count(),
                                [](QWidget *w, int i) { return static_cast<QStackedWidget *>(w)->widget(i); }),
                     pages);
            QCOMPARE(stack->currentIndex(), current);
        } else {
            auto *tabs = qobject_cast<QTabWidget *>(box);
            QVERIFY(tabs);
            QCOMPARE(childNames(tabs, tabs->count(),
                                [](QWidget *w, int i) { return static_cast<QTabWidget *>(w)->widget(i); }),
                     pages);
            QCOMPARE(tabs->currentIndex(), current);
        }
    }

    void topWidgetName_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("unnamed") << ""
                                 << "RadioListModule";
        QTest::newRow("named") << "radioPage"
                               << "radioPage";
    }
    void topWidgetName()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QWidget widget;
        widget.setObjectName(before);
        Ui::RadioListModule ui;
        ui.setupUi(&widget);
        QCOMPARE(widget.objectName(), after);
        QCOMPARE(widget.windowTitle(), QStringLiteral("Form"));
    }

    // Every widget the list module's code reaches on its form, under the radio form's names.
    void objectsTheModuleReaches_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        const QList<QPair<const char *, const char *>> widgets = {
            {"stackedWidget", "QStackedWidget"},
            {"btnDownloadLists", "QCommandLinkButton"},
            {"btnCreateNewProject", "QCommandLinkButton"},
            {"btnOpenSavedProject", "QCommandLinkButton"},
            {"watchVideoTutorialLinkButton", "QCommandLinkButton"},
            {"toolsFrame", "QFrame"},
            {"backCommandLinkButton", "QPushButton"},
            {"btnDownloadDeviceLists", "QPushButton"},
            {"btnUploadDeviceLists", "QPushButton"},
            {"moreCommandLinkButton", "QPushButton"},
            {"listsSplitter", "QSplitter"},
            {"listsTabWidget", "ListTabWidget"},
            {"frAllItemsContainer", "QFrame"},
            {"lblAllServices", "QLabel"},
            {"txtSearch", "SSearchLineEdit"},
            {"itemsToolBar", "QFrame"},
            {"btnCreateNewItem", "QToolButton"},
            {"basicServicesEdit", "BasicEditPanel"},
            {"filterToolButton", "QToolButton"},
            {"showHideColumnsToolButton", "QToolButton"},
            {"itemsTableViewAll", "ItemsTableView"},
            {"frServiceProperties", "QFrame"},
            {"btnHideServiceSettings", "QPushButton"},
            {"btnShowServiceSettings", "QPushButton"},
            {"tabServiceProperties", "TabWidget"},
            {"serviceOrLinkSW", "QStackedWidget"},
            {"titleLineEdit", "SLineEdit"},
            {"providerComboBox", "EditableComboBox"},
            {"lblProvider", "QLabel"},
            {"epgCheckBox", "ImmediateCheckBox"},
            {"frGenreList", "CsvTableWidget"},
            {"linkTypeComboBox", "EditableComboBox"},
            {"linkGenreComboBox", "EditableComboBox"},
            {"parentLockCheckBox", "ImmediateCheckBox"},
            {"parentalControlMultipleChoice", "MultipleChoiceWidget"},
            {"detailedSettingsWidget", "TvAdvancedSettingsItemDelegateWidget"},
            {"frServiceSettingsButtons", "QFrame"},
            {"btnSaveServiceSettings", "QPushButton"},
            {"btnCancelServiceSetting", "QPushButton"},
            {"dataTransferPageStatusLabel", "QLabel"},
            {"dataTransferProgressBar", "QProgressBar"},
            {"dataTransferPageButton", "QPushButton"},
            {"backFromExportPageCommandLinkButton", "QPushButton"},
            {"btnOpenSavedProject2", "QCommandLinkButton"},
            {"saveProjectCommandLinkButton", "QCommandLinkButton"},
            {"saveAsProjectCommandLinkButton", "QCommandLinkButton"},
            {"btnPrintProject", "QCommandLinkButton"},
            {"btnExportAsProject", "QCommandLinkButton"},
        };
        for (const auto &w : widgets)
            QTest::newRow(w.first) << QString::fromLatin1(w.first) << QString::fromLatin1(w.second);
        // The TV form's names of the name and provider editors do not exist here.
        QTest::newRow("no txtServiceTitle") << "txtServiceTitle"
                                            << "";
        QTest::newRow("no cmbProvider") << "cmbProvider"
                                        << "";
    }
    void objectsTheModuleReaches()
    {
        QFETCH(QString, name);
        QFETCH(QString, className);
        Form form;
        // Widgets built from forms of their own (the tuning editor, the genre table...) reuse names such as
        // stackedWidget inside them; those are not the module's.
        QList<QWidget *> found;
        for (QWidget *w : form.widget.findChildren<QWidget *>(name)) {
            bool nested = false;
            for (QWidget *up = w->parentWidget(); up && up != &form.widget; up = up->parentWidget())
                nested = nested || up->inherits("TvAdvancedSettingsItemDelegateWidget") ||
                         up->inherits("CsvTableWidget") || up->inherits("MultipleChoiceWidget") ||
                         up->inherits("BasicEditPanel") || up->inherits("ListTabWidget");
            if (!nested)
                found << w;
        }
        if (className.isEmpty()) {
            QVERIFY(found.isEmpty());
            return;
        }
        QCOMPARE(found.size(), 1);
        QCOMPARE(QString::fromLatin1(found.first()->metaObject()->className()), className);
    }

    void sizesHoldAtWindowSizes_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::newRow("designed size") << QSize(1081, 700);
        QTest::newRow("large window") << QSize(1600, 1000);
    }
    void sizesHoldAtWindowSizes()
    {
        QFETCH(QSize, window);
        Form form;
        const Ui::RadioListModule &ui = form.ui;
        form.widget.resize(window);
        form.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form.widget));
        QCOMPARE(ui.stackedWidget->size(), window);
        QCOMPARE(ui.toolsFrame->height(), 40);
        QCOMPARE(ui.tabServiceProperties->height(), 230);
        QVERIFY(ui.tabServiceProperties->width() >= 440);
        for (QWidget *w :
             {static_cast<QWidget *>(ui.btnCreateNewItem), static_cast<QWidget *>(ui.basicServicesEdit),
              static_cast<QWidget *>(ui.filterToolButton), static_cast<QWidget *>(ui.showHideColumnsToolButton)})
            QCOMPARE(w->height(), 30);
        QVERIFY(ui.txtSearch->width() <= 160);
        QVERIFY(ui.itemsFrame->width() >= 510);
        QVERIFY(ui.itemsFrame->height() >= 500);
        QVERIFY(ui.frAllItemsContainer->width() >= 510);
        QVERIFY(ui.frame_2->width() <= 700);
        QVERIFY(ui.serviceOrLinkSW->width() <= 500);
        // The fixed places of the service page do not follow the panel's size.
        QCOMPARE(ui.titleLineEdit->geometry(), QRect(70, 29, 200, 20));
        QCOMPARE(ui.parentalControlMultipleChoice->geometry(), QRect(240, 30, 220, 161));

        ui.stackedWidget->setCurrentIndex(2);
        QTRY_COMPARE(ui.dataTransferPageButton->height(), 23);
        QCOMPARE(ui.dataTransferProgressBar->value(), 0);
        QVERIFY(!ui.dataTransferProgressBar->isTextVisible());
        ui.stackedWidget->setCurrentIndex(3);
        QTRY_VERIFY(ui.frame_9->isVisible());
        QCOMPARE(ui.toolsFrame_3->height(), 40);
        for (QCommandLinkButton *link : ui.frame_9->findChildren<QCommandLinkButton *>()) {
            QVERIFY2(link->width() >= 500 && link->width() <= 700, qPrintable(link->objectName()));
        }
    }

    // Neither side of the lists splitter has a fixed width. The splitter shares extra width by the sides'
    // size hints until the user drags it, so the favourite-list side stays at its 510 minimum until the
    // window is about twice the designed width; from there both sides grow.
    void bothSplitterSidesFollowTheWindow()
    {
        Form form;
        const Ui::RadioListModule &ui = form.ui;
        form.widget.resize(2200, 700);
        form.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form.widget));
        const int lists = ui.itemsFrame->width();
        const int services = ui.frAllItemsContainer->width();
        form.widget.resize(2800, 700);
        QTRY_VERIFY(ui.itemsFrame->width() > lists);
        QVERIFY(ui.frAllItemsContainer->width() > services);
        form.widget.resize(1081, 700);
        QTRY_COMPARE(ui.itemsFrame->width(), 510);
        QVERIFY(ui.frAllItemsContainer->width() >= 510);
    }

    // Labels and check boxes of the service page and the parental tab sit at fixed places and sizes; each
    // translation must fit them.
    void fixedPlacesShowWholeTexts_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("epgText");
        QTest::newRow("en") << "en_EN"
                            << "RZP/EPG download enabled";
        QTest::newRow("de") << "de_DE"
                            << "RZP/EPG-Download aktiviert";
        QTest::newRow("pl") << "pl_PL"
                            << "Pobieranie RZP/EPG włączone";
    }
    void fixedPlacesShowWholeTexts()
    {
        QFETCH(QString, language);
        QFETCH(QString, epgText);
        QTranslator translator;
        QCOMPARE(loadTranslator(&translator, language), language != QLatin1String("en_EN"));
        Form form;
        const Ui::RadioListModule &ui = form.ui;
        form.widget.resize(1081, 700);
        form.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form.widget));
        QCOMPARE(ui.epgCheckBox->text(), epgText);

        int checked = 0;
        for (QWidget *page : {static_cast<QWidget *>(ui.frame_12), static_cast<QWidget *>(ui.tab_2)}) {
            QList<QWidget *> fixed;
            for (QLabel *label : page->findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
                fixed << label;
            for (QCheckBox *box : page->findChildren<QCheckBox *>(Qt::FindDirectChildrenOnly))
                fixed << box;
            for (QWidget *w : fixed) {
                const QSize needed = w->sizeHint();
                QVERIFY2(needed.width() <= w->width() && w->fontMetrics().height() <= w->height(),
                         qPrintable(QStringLiteral("%1 needs %2x%3 for \"%4\", has %5x%6")
                                        .arg(w->objectName())
                                        .arg(needed.width())
                                        .arg(needed.height())
                                        .arg(w->property("text").toString())
                                        .arg(w->width())
                                        .arg(w->height())));
                ++checked;
            }
        }
        // label_12, lblProvider, lblName, epgCheckBox; parentLockCheckBox, label_2, label_4
        QCOMPARE(checked, 7);
        loadTranslator(&translator, QStringLiteral("en_EN"));
    }

    void retranslateEmptiesTheNameEditor()
    {
        Form form;
        form.ui.titleLineEdit->setText(QStringLiteral("Radio Eins"));
        form.ui.retranslateUi(&form.widget);
        QCOMPARE(form.ui.titleLineEdit->text(), QString());
        QCOMPARE(form.ui.titleLineEdit->cursorPosition(), 0);
        QCOMPARE(form.ui.groupBox_5->title(), QString());
        QCOMPARE(form.ui.stackedWidget->currentIndex(), 1);
    }
};

OMBRELAY_TEST_MAIN(TestRadioForm)
#include "tst_radioform.moc"
