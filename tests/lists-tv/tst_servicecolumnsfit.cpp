#include "testmain.h"

#include "../lists-radio/radiolisttext.h"
#include "dialoganswerer.h"
#include "generatedtvlist.h"
#include "listinthewindow.h"

#include "app/mainwindow.h"
#include "base/settings.h"
#include "base/translatorloader.h"
#include "device/core/zbdeviceinfo.h"
#include "devices/zbdevicecollection.h"
#include "listfiles/projectfileformat.h"
#include "lists/radiolistmodule.h"
#include "lists/tvlistmodule.h"
#include "modules/modulefactory.h"

#include <QFile>
#include <QHeaderView>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyle>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

// The TV and radio pages in the main window at its default size: the columns shown after a load fit the
// all-services table in every language, with the "# on list" title whole and four-digit places whole.
class TestServiceColumnsFit : public QObject
{
    Q_OBJECT

private slots:
    void defaultColumnsFit_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("radio");
        for (const auto &[name, language] : {std::pair{"English", ""}, {"German", "de_DE"}, {"Polish", "pl_PL"}}) {
            QTest::addRow("TV, %s", name) << QString::fromLatin1(language) << false;
            QTest::addRow("radio, %s", name) << QString::fromLatin1(language) << true;
        }
    }
    void defaultColumnsFit()
    {
        QFETCH(QString, language);
        QFETCH(bool, radio);
        const ProgramLook look(language);
        QVERIFY(look.ok);
        // The first list holds more than a thousand services: its places have four digits.
        QTemporaryDir dir;
        QStringList names;
        for (int i = 0; i < 2400; ++i)
            names << QStringLiteral("Radio %1").arg(i + 1);
        const QString file = listFile(dir, radio ? QStringLiteral("list.rdqvxc") : QStringLiteral("list.tvqvxc"),
                                      radio ? RadioListText::text(names) : GeneratedTvList::text(6000));
        QVERIFY(!file.isEmpty());
        ModuleFactory::registerListModule<TVListModule>(OmbrelayModule::TypeTvList);
        ModuleFactory::registerListModule<RadioListModule>(OmbrelayModule::TypeRadioList);
        DialogAnswerer answers;
        {
            MainWindow window;
            ZBDeviceInfo usb = usbReceiver();
            window.collection()->append(usb);
            window.show();
            window.tryToOpenFile(file);
            auto *module = qobject_cast<ListsModuleShared *>(window.currentModule());
            QVERIFY(module);
            auto *pages = module->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
            QVERIFY(pages);
            QCOMPARE(pages->currentIndex(), 1);
            QTableView *table = module->findChild<QTableView *>(QStringLiteral("itemsTableViewAll"));
            QVERIFY(table);
            QCoreApplication::processEvents();
            QHeaderView *header = table->horizontalHeader();
            int biggest = 0;
            for (int row = 0; row < table->model()->rowCount(); ++row)
                biggest = qMax(biggest, table->model()->index(row, 0).data().toInt());
            QVERIFY2(biggest >= 1000, qPrintable(QString::number(biggest)));
            QStringList widths;
            for (int section = 0; section < header->count(); ++section)
                if (!header->isSectionHidden(section))
                    widths << QStringLiteral("%1: %2 px").arg(section).arg(header->sectionSize(section));
            const QString where = QStringLiteral("table %1 px wide, columns %2; ")
                                      .arg(table->viewport()->width())
                                      .arg(widths.join(QStringLiteral(", ")));
            QVERIFY2(header->length() <= table->viewport()->width(),
                     qPrintable(where + QStringLiteral("%1 px in all").arg(header->length())));
            QVERIFY2(!table->horizontalScrollBar()->isVisible(), qPrintable(where + QStringLiteral("a scroll bar")));
            // The title and the places whole.
            QVERIFY2(header->sectionSize(0) >= header->sectionSizeHint(0),
                     qPrintable(where + QStringLiteral("title needs %1").arg(header->sectionSizeHint(0))));
            const int margin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1;
            const int places = table->fontMetrics().horizontalAdvance(QString::number(biggest)) + 2 * margin;
            QVERIFY2(header->sectionSize(0) >= places,
                     qPrintable(where + QStringLiteral("places need %1").arg(places)));
            // Name and Provider keep room to be read.
            for (int section : {1, 2})
                QVERIFY2(header->sectionSize(section) >= 100, qPrintable(where));
        }
    }
};

OMBRELAY_TEST_MAIN(TestServiceColumnsFit)
#include "tst_servicecolumnsfit.moc"
