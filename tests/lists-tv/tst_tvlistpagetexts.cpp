#include "testmain.h"

#include "dialoganswerer.h"
#include "generatedtvlist.h"
#include "listinthewindow.h"

#include "app/mainwindow.h"
#include "base/settings.h"
#include "base/translatorloader.h"
#include "device/core/zbdeviceinfo.h"
#include "devices/zbdevicecollection.h"
#include "listfiles/projectfileformat.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/favouritelisteditor.h"
#include "lists/tvlistmodule.h"
#include "modules/modulefactory.h"
#include "widgets/showhidecolumnsmodel.h"

#include <QAbstractButton>
#include <QCommandLinkButton>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

// The TV list page in the main window at its default size, with the program's style sheet: every text
// of the editor, the details panel, a new service's tuning editor and the More page shows whole in
// English, German and Polish.
class TestTvListPageTexts : public QObject
{
    Q_OBJECT

    static QString textOf(const QAbstractButton *button) { return button->text().remove(u'&'); }

    // The texts of the visible widgets under root that do not fit their widgets.
    static QStringList unfitting(QWidget *root)
    {
        QStringList faults;
        const auto visible = [root](QWidget *widget) { return widget->isVisibleTo(root) && widget->isVisible(); };
        for (QAbstractButton *button : root->findChildren<QAbstractButton *>()) {
            if (!visible(button) || button->text().isEmpty())
                continue;
            if (auto *link = qobject_cast<QCommandLinkButton *>(button)) {
                if (link->heightForWidth(link->width()) > link->height())
                    faults << QStringLiteral("%1 \"%2\": description needs %3 px, has %4")
                                  .arg(link->objectName(), textOf(link))
                                  .arg(link->heightForWidth(link->width()))
                                  .arg(link->height());
                continue;
            }
            // The style's own measure of the text with its padding and borders.
            const int needed = button->sizeHint().width();
            if (needed > button->width())
                faults << QStringLiteral("%1 \"%2\": needs %3 px, has %4")
                              .arg(button->objectName(), textOf(button))
                              .arg(needed)
                              .arg(button->width());
        }
        for (QLabel *label : root->findChildren<QLabel *>()) {
            if (!visible(label) || label->text().isEmpty() || !label->pixmap().isNull())
                continue;
            const int width = label->contentsRect().width() - 2 * label->indent() - 2 * label->margin();
            const bool fits = label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                                : label->fontMetrics().horizontalAdvance(label->text()) <= width;
            if (!fits)
                faults << QStringLiteral("%1 \"%2\"").arg(label->objectName(), label->text());
        }
        for (QTabBar *bar : root->findChildren<QTabBar *>()) {
            // The tabs are drawn in the style sheet's tab font: a bar that got less than it asked for
            // elides its titles.
            if (!visible(bar) || bar->count() == 0)
                continue;
            const int given = bar->tabRect(bar->count() - 1).right() - bar->tabRect(0).left() + 1;
            if (given < bar->sizeHint().width())
                faults << QStringLiteral("tabs of %1 (\"%2\"...): need %3 px, have %4")
                              .arg(bar->parentWidget()->objectName(), bar->tabText(0))
                              .arg(bar->sizeHint().width())
                              .arg(given);
        }
        for (QHeaderView *header : root->findChildren<QHeaderView *>()) {
            if (!visible(header) || !header->model())
                continue;
            for (int section = 0; section < header->count(); ++section) {
                if (header->isSectionHidden(section) || header->sectionSize(section) == 0 ||
                    (header->orientation() == Qt::Horizontal && section == header->count() - 1))
                    continue;
                if (header->sectionSizeHint(section) > header->sectionSize(section))
                    faults << QStringLiteral("%1 section %2 \"%3\": needs %4 px, has %5")
                                  .arg(header->parentWidget()->objectName())
                                  .arg(section)
                                  .arg(header->model()->headerData(section, header->orientation()).toString())
                                  .arg(header->sectionSizeHint(section))
                                  .arg(header->sectionSize(section));
            }
        }
        return faults;
    }

    // The visible widgets under root that reach past the right edge of the page.
    static QStringList pastTheEdge(QWidget *page, QWidget *root)
    {
        QStringList faults;
        for (QWidget *widget : root->findChildren<QWidget *>()) {
            if (!widget->isVisible() || widget->objectName().isEmpty())
                continue;
            const QRect area(widget->mapTo(page, QPoint(0, 0)), widget->size());
            if (area.right() > page->width())
                faults << QStringLiteral("%1 (%2) ends at %3 of %4, minimum %5")
                              .arg(widget->objectName(), QString::fromLatin1(widget->metaObject()->className()))
                              .arg(area.right())
                              .arg(page->width())
                              .arg(widget->minimumSizeHint().width());
        }
        return faults;
    }

private slots:
    void textsFitAtTheDefaultSize_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("reception"); // the tuner type of the new service; empty: the one it gets
        for (const auto &[name, language] : {std::pair{"English", ""}, {"German", "de_DE"}, {"Polish", "pl_PL"}}) {
            QTest::newRow(name) << QString::fromLatin1(language) << QString();
            for (const char *type : {"rbCable", "rbTerrestrial", "rbAnalog", "rbExternalSource"})
                QTest::addRow("%s %s", name, type + 2) << QString::fromLatin1(language) << QString::fromLatin1(type);
        }
    }
    void textsFitAtTheDefaultSize()
    {
        QFETCH(QString, language);
        QFETCH(QString, reception);
        const ProgramLook look(language);
        QVERIFY(look.ok);
        QTemporaryDir dir;
        const QString file = listFile(dir, QStringLiteral("list.tvqvxc"), GeneratedTvList::text(30));
        QVERIFY(!file.isEmpty());
        ModuleFactory::registerListModule<TVListModule>(OmbrelayModule::TypeTvList);
        DialogAnswerer answers;
        {
            MainWindow window;
            ZBDeviceInfo usb = usbReceiver();
            // Every reception type offered, so every page of the tuning editor can be shown.
            usb.setHasAnalogFrontend(true);
            usb.setHasCableFrontend(true);
            usb.setHasTerrestrialFrontend(true);
            window.collection()->append(usb);
            window.show();
            window.tryToOpenFile(file);
            auto *module = qobject_cast<TVListModule *>(window.currentModule());
            QVERIFY(module);
            QCOMPARE(module->stackedWidget->currentIndex(), 1);
            // Every column shown, as the column chooser would.
            QAbstractItemModel *columns = module->itemsTableViewAll->columnsModel();
            for (int c = 3; c <= 6; ++c)
                columns->setData(columns->index(c, 0), Qt::Checked, Qt::CheckStateRole);
            module->itemsTableViewAll->selectRow(0);
            module->btnShowServiceSettings->click();
            QStringList faults;
            for (int tab = 0; tab < 2; ++tab) {
                module->tabServiceProperties->setCurrentIndex(tab);
                QCoreApplication::processEvents();
                faults << unfitting(module->stackedWidget->currentWidget());
            }
            module->btnCreateNewItem->click();
            TvAdvancedSettingsItemDelegateWidget *tuning = module->detailedSettingsWidget;
            if (reception == QLatin1String("rbExternalSource")) {
                // Only a stored service has this type; its button shows then.
                tuning->setDetailedSettingsData(QStringLiteral("<config type=\"external\"/>"));
                QVERIFY(tuning->rbExternalSource->isVisible());
            } else if (!reception.isEmpty()) {
                auto *type = tuning->findChild<QAbstractButton *>(reception);
                QVERIFY(type && type->isVisible());
                type->click();
            }
            QCoreApplication::processEvents();
            const QStringList edge = pastTheEdge(module, module->detailedSettingsWidget);
            faults << unfitting(module->tabServiceProperties);
            module->btnCancelServiceSetting->click();
            module->moreCommandLinkButton->click();
            QCoreApplication::processEvents();
            faults << unfitting(module->stackedWidget->currentWidget());
            faults.removeDuplicates();
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
            QVERIFY2(edge.isEmpty(), qPrintable(edge.join(u'\n')));
        }
    }

    // "# on list" in the main window at its default size: its title is drawn whole, and the column takes
    // the digits of the longest list's places; a shorter list shown next keeps them whole too.
    void listPlaceColumnShowsTitleAndPlaces_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << QString();
        QTest::newRow("German") << QStringLiteral("de_DE");
        QTest::newRow("Polish") << QStringLiteral("pl_PL");
    }
    void listPlaceColumnShowsTitleAndPlaces()
    {
        QFETCH(QString, language);
        const ProgramLook look(language);
        QVERIFY(look.ok);
        // List 1 holds every fifth of 6,000 services: places 1 to 1,200.
        QTemporaryDir dir;
        const QString file = listFile(dir, QStringLiteral("list.tvqvxc"), GeneratedTvList::text(6000));
        QVERIFY(!file.isEmpty());
        ModuleFactory::registerListModule<TVListModule>(OmbrelayModule::TypeTvList);
        DialogAnswerer answers;
        {
            MainWindow window;
            ZBDeviceInfo usb = usbReceiver();
            window.collection()->append(usb);
            window.show();
            window.tryToOpenFile(file);
            auto *module = qobject_cast<TVListModule *>(window.currentModule());
            QVERIFY(module);
            QCOMPARE(module->stackedWidget->currentIndex(), 1);
            QTableView *table = module->itemsTableViewAll;
            QHeaderView *header = table->horizontalHeader();
            const QString title = table->model()->headerData(0, Qt::Horizontal).toString();
            QCOMPARE(title, QCoreApplication::translate("QObject", "# on list"));
            for (int list : {0, 3}) {
                module->listsTabWidget->setCurrentIndex(list);
                QCoreApplication::processEvents();
                const QString where =
                    QStringLiteral("list %1, column %2 px: ").arg(list + 1).arg(header->sectionSize(0));
                // The title: not cut, and drawn in ink, not in the header's white.
                QVERIFY2(header->sectionSize(0) >= header->sectionSizeHint(0),
                         qPrintable(where + QStringLiteral("title needs %1").arg(header->sectionSizeHint(0))));
                const QImage image = header->grab().toImage();
                const int left = header->sectionViewportPosition(0);
                const int textWidth = header->fontMetrics().horizontalAdvance(title);
                int inked = 0;
                for (int x = left; x < left + header->sectionSize(0) - 1 && x < image.width(); ++x)
                    for (int y = 1; y < image.height() - 2; ++y)
                        inked += qGray(image.pixel(x, y)) < 200;
                QVERIFY2(inked >= textWidth / 2,
                         qPrintable(where + QStringLiteral("%1 pixels of the title drawn").arg(inked)));
                // The places: the longest list's biggest one fits with the cell's margins.
                const int margin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1;
                const int places = table->fontMetrics().horizontalAdvance(QStringLiteral("1200")) + 2 * margin;
                QVERIFY2(header->sectionSize(0) >= places,
                         qPrintable(where + QStringLiteral("\"1200\" needs %1").arg(places)));
            }
            // The places the width was made for are those of list 1.
            module->listsTabWidget->setCurrentIndex(0);
            int biggest = 0;
            for (int row = 0; row < table->model()->rowCount(); ++row)
                biggest = qMax(biggest, table->model()->index(row, 0).data().toInt());
            QCOMPARE(biggest, 1200);
            // Opened again after closing: the load's narrow start is widened again.
            QVERIFY(module->projectManager()->closeProject());
            QCOMPARE(module->stackedWidget->currentIndex(), 0);
            module->openFile(file);
            QTRY_COMPARE(module->stackedWidget->currentIndex(), 1);
            QVERIFY(header->sectionSize(0) >= header->sectionSizeHint(0));
            module->projectManager()->closeProject();
        }
    }

    // The favourite-list edit buttons keep their 20 px and the lists' row numbers show whole.
    void favouriteListBarAndRowNumbers()
    {
        const ProgramLook look{QString()};
        QVERIFY(look.ok);
        TVListModule module;
        module.resize(1100, 600);
        module.show();
        module.onShow();
        QVERIFY(module.projectManager()->newProject(GeneratedTvList::text(60)));
        auto *editor = module.listsTabWidget->currentWidget()->findChild<FavouriteListEditor *>();
        if (!editor)
            editor = qobject_cast<FavouriteListEditor *>(module.listsTabWidget->currentWidget());
        QVERIFY(editor);
        QCoreApplication::processEvents();
        for (const char *name : {"cutButton", "copyButton", "pasteButton", "deleteButton"}) {
            auto *button = editor->findChild<QAbstractButton *>(QLatin1String(name));
            QVERIFY(button);
            if (button->isVisible())
                QCOMPARE(button->height(), 20);
        }
        QHeaderView *rows = editor->tblItems->verticalHeader();
        QVERIFY(editor->tblItems->model()->rowCount() > 10);
        for (int row : {0, 9, 11})
            QVERIFY2(rows->sectionSizeHint(row) <= rows->sectionSize(row),
                     qPrintable(QStringLiteral("row %1 needs %2 px, has %3")
                                    .arg(row)
                                    .arg(rows->sectionSizeHint(row))
                                    .arg(rows->sectionSize(row))));
        QVERIFY(rows->width() >= rows->fontMetrics().horizontalAdvance(QStringLiteral("12")));
        // The numbers are drawn whole: the rows of the number's glyphs inside its section.
        const QImage image = rows->grab().toImage();
        for (int row : {0, 1}) {
            const int top = rows->sectionViewportPosition(row);
            int inked = 0;
            for (int y = top; y < top + rows->sectionSize(row) - 1; ++y) {
                for (int x = 0; x < image.width() - 2; ++x) {
                    if (qGray(image.pixel(x, y)) < 200) {
                        ++inked;
                        break;
                    }
                }
            }
            const int digit = rows->fontMetrics().tightBoundingRect(QString::number(row + 1)).height();
            QVERIFY2(inked >= digit - 1,
                     qPrintable(QStringLiteral("row %1: %2 of %3 lines drawn").arg(row + 1).arg(inked).arg(digit)));
        }
    }
};

OMBRELAY_TEST_MAIN(TestTvListPageTexts)
#include "tst_tvlistpagetexts.moc"
