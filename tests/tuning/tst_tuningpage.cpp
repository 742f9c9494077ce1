#include "testmain.h"

#include "dialoganswerer.h"
#include "listfixtures.h"
#include "listinthewindow.h"
#include "listpagetest.h"

#include "app/mainwindow.h"
#include "device/core/zbdeviceinfo.h"
#include "devices/zbdevicecollection.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/tvlistmodule.h"
#include "modules/modulefactory.h"
#include "tuning/tvadvancedsettingsitemdelegatewidget.h"

#include <QDomDocument>
#include <QSpinBox>
#include <QTest>
#include <QTextStream>

// The tuning editor on the TV list page: what a type switch shows and saves, and when leaving a service
// warns of a duplicate.

namespace {
// Five services, one of each type and a second terrestrial one with the tuning of the first.
const QString services = QStringLiteral(
    "<?xml version='1.0' encoding='utf-8'?>\n<TDocument><documentProperties/><items>"
    "<tvService id=\"1\"><name>Wetter 92</name><details><config type=\"terrestrial\"><sid>26237</sid>"
    "<freq>159000</freq></config></details></tvService>"
    "<tvService id=\"2\"><name>Arte 4</name><details><config type=\"satellite\"><sid>45810</sid><msys>dvb-s2</msys>"
    "<symRate>27500</symRate><p>h</p><transponderFreq>10744</transponderFreq><satellite position=\"192\"/>"
    "</config></details></tvService>"
    "<tvService id=\"3\"><name>Kabel 3</name><details><config type=\"cable\"><sid>3001</sid><freq>474000</freq>"
    "<symRate>6875</symRate><mod>256</mod></config></details></tvService>"
    "<tvService id=\"4\"><name>Analog 5</name><details><config type=\"analog\"><freq>176000</freq><tvn>g</tvn>"
    "</config></details></tvService>"
    "<tvService id=\"5\"><name>Wetter 92 HD</name><details><config type=\"terrestrial\"><sid>26237</sid>"
    "<freq>159000</freq></config></details></tvService>"
    "</items><lists><list id=\"0\"><ref>1</ref><ref>2</ref></list></lists></TDocument>\n");

const QString duplicateText = QStringLiteral("Service with the same detailed settings already exists on the list.");

// The service's tuning element in a saved project file, as the DOM writes it.
QString savedConfig(const QString &path, const QString &id)
{
    QDomDocument document;
    if (!document.setContent(ListFixtures::canonicalFile(path, true)))
        return QStringLiteral("unreadable");
    const QDomNodeList services = document.elementsByTagName(QStringLiteral("tvService"));
    for (int i = 0; i < services.size(); ++i) {
        const QDomElement service = services.at(i).toElement();
        if (service.attribute(QStringLiteral("id")) != id)
            continue;
        QString text;
        QTextStream out(&text);
        service.firstChildElement(QStringLiteral("details")).firstChildElement(QStringLiteral("config")).save(out, -1);
        out.flush();
        return ListFixtures::canonical(text);
    }
    return QStringLiteral("no service %1").arg(id);
}
} // namespace

class TestTuningPage : public QObject
{
    Q_OBJECT

    ZBDeviceInfo info{QStringLiteral("Box")};
    QTemporaryDir dir;
    QString file;
    std::unique_ptr<TVListModule> pageAlone;
    std::unique_ptr<MainWindow> window;
    TVListModule *page = nullptr;

    // The list file opened on the page alone, or in the main window for a receiver it is meant for; either
    // receiver has every reception type.
    void open(bool inWindow)
    {
        if (!inWindow) {
            pageAlone = showListPage<TVListModule>(&info, QString());
            page = pageAlone.get();
            QVERIFY(page->projectManager()->loadFile(file));
        } else {
            ModuleFactory::registerListModule<TVListModule>(OmbrelayModule::TypeTvList);
            window = std::make_unique<MainWindow>();
            ZBDeviceInfo usb = usbReceiver();
            usb.setHasAnalogFrontend(true);
            usb.setHasCableFrontend(true);
            usb.setHasTerrestrialFrontend(true);
            usb.setHasSatelliteFrontend(true);
            window->collection()->append(usb);
            window->show();
            QApplication::setActiveWindow(window.get());
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
            window->tryToOpenFile(file);
            page = qobject_cast<TVListModule *>(window->currentModule());
            QVERIFY(page);
        }
        QCOMPARE(page->itemsTableViewAll->model()->rowCount(), 5);
        for (QAbstractButton *type :
             {tuning()->rbSatellite, tuning()->rbCable, tuning()->rbTerrestrial, tuning()->rbAnalog})
            QVERIFY(!type->isHidden());
    }

    TvAdvancedSettingsItemDelegateWidget *tuning() const { return page->detailedSettingsWidget; }
    void select(const QString &id)
    {
        const int row = rowOfId(page, id);
        QVERIFY(row >= 0);
        const QRect cell = page->itemsTableViewAll->visualRect(page->itemsTableViewAll->model()->index(row, 1));
        QTest::mouseClick(page->itemsTableViewAll->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(page->txtServiceTitle->text(), page->itemsTableViewAll->model()->index(row, 1).data().toString());
    }
    void openDetailedSettings()
    {
        QTest::mouseClick(page->btnShowServiceSettings, Qt::LeftButton);
        QVERIFY(page->tabServiceProperties->isVisible());
        page->tabServiceProperties->setCurrentWidget(page->transportStreamTab);
        QVERIFY(QTest::qWaitForWindowExposed(page->window()));
    }
    QString details(const QString &id) const
    {
        return page->projectManager()->itemsModel->indexById(id, 7).data(Qt::EditRole).toString();
    }

private slots:
    void init()
    {
        info.setHasSatelliteFrontend(true);
        info.setHasCableFrontend(true);
        info.setHasTerrestrialFrontend(true);
        info.setHasAnalogFrontend(true);
        file = listFile(dir, QStringLiteral("tuning.tvqvxc"), services);
        QVERIFY(!file.isEmpty());
    }
    void cleanup()
    {
        // A question while the window goes is turned down, never left waiting.
        MessageBox::setAnswerHook([](QDialog *box) { box->reject(); });
        page = nullptr;
        pageAlone.reset();
        window.reset();
        MessageBox::setAnswerHook({});
    }

    // A type the user switches to starts from this service's own values, else from the type's defaults:
    // never from what the service shown before left in the editor. Shown, and saved.
    void typeSwitchStartsFromTheServicesOwnValues_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("fields"); // object name=text
        QTest::addColumn<QString>("saved");
        QTest::addColumn<bool>("inWindow");
        QTest::newRow("satellite to terrestrial after a terrestrial one")
            << "1"
            << "2"
            << "rbTerrestrial" << QStringList{"sbTerrestrialSID=45810", "sbTerrestrialFrequency=50.0"}
            << "<config type=\"terrestrial\"><sid>45810</sid><freq>50000</freq></config>" << false;
        QTest::newRow("in the main window")
            << "1"
            << "2"
            << "rbTerrestrial" << QStringList{"sbTerrestrialSID=45810", "sbTerrestrialFrequency=50.0"}
            << "<config type=\"terrestrial\"><sid>45810</sid><freq>50000</freq></config>" << true;
        QTest::newRow("cable to analogue after an analogue one")
            << "4"
            << "3"
            << "rbAnalog" << QStringList{"sbAnalogFrequency=474.000"}
            << "<config type=\"analog\"><freq>474000</freq><tvn>b</tvn></config>" << false;
        QTest::newRow("terrestrial to satellite after a satellite one")
            << "2"
            << "1"
            << "rbSatellite"
            << QStringList{"sbSatelliteSID=26237", "sbSatelliteTransponderFrequency=10700", "sbPositionAngle=0.0"}
            << "<config type=\"satellite\"><sid>26237</sid><msys>dvb-s</msys><symRate>1000</symRate><p>h</p>"
               "<transponderFreq>10700</transponderFreq><satellite position=\"0\"/></config>"
            << false;
        QTest::newRow("analogue to cable after a cable one")
            << "3"
            << "4"
            << "rbCable" << QStringList{"sbCableSID=0", "sbCablelFrequency=176.0"}
            << "<config type=\"cable\"><sid>0</sid><freq>176000</freq><symRate>6900</symRate><mod>16</mod></config>"
            << false;
    }
    void typeSwitchStartsFromTheServicesOwnValues()
    {
        QFETCH(QString, before);
        QFETCH(QString, edited);
        QFETCH(QString, type);
        QFETCH(QStringList, fields);
        QFETCH(QString, saved);
        QFETCH(bool, inWindow);
        open(inWindow);
        DialogAnswerer answers;
        select(before);
        openDetailedSettings();
        select(edited);
        auto *button = tuning()->findChild<QAbstractButton *>(type);
        QVERIFY(button && button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        for (const QString &field : fields) {
            auto *box = tuning()->findChild<QAbstractSpinBox *>(field.section(u'=', 0, 0));
            QVERIFY(box);
            QCOMPARE(field.section(u'=', 0, 0) + u'=' + box->text(), field);
        }
        QCOMPARE(ListFixtures::canonical(details(edited)), ListFixtures::canonical(saved));
        // the service shown before is as it was
        QCOMPARE(ListFixtures::canonical(details(before)), savedConfig(file, before));
        page->projectManager()->saveProject();
        QCOMPARE(savedConfig(file, edited), ListFixtures::canonical(saved));
        QCOMPARE(answers.boxTexts, QStringList());
    }

    // The duplicate warning comes when the user's own change makes the duplicate; leaving a service that
    // already shared its tuning with another, changed or not, says nothing.
    void duplicateWarningOnlyForTheUsersOwnChange_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("change"); // "" nothing, "name", "tuning" (to that of service 1)
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("inWindow");
        for (bool inWindow : {false, true}) {
            const char *where = inWindow ? "in the main window" : "on the page";
            QTest::addRow("plain row change between twins %s", where) << "5"
                                                                      << "" << QStringList{} << inWindow;
            QTest::addRow("twin renamed %s", where) << "5"
                                                    << "name" << QStringList{} << inWindow;
            QTest::addRow("tuning made the duplicate %s", where) << "3"
                                                                 << "tuning" << QStringList{duplicateText} << inWindow;
            QTest::addRow("unique renamed %s", where) << "3"
                                                      << "name" << QStringList{} << inWindow;
        }
    }
    void duplicateWarningOnlyForTheUsersOwnChange()
    {
        QFETCH(QString, left);
        QFETCH(QString, change);
        QFETCH(QStringList, boxes);
        QFETCH(bool, inWindow);
        open(inWindow);
        DialogAnswerer answers;
        select(left);
        openDetailedSettings();
        if (change == QLatin1String("name")) {
            page->tabServiceProperties->setCurrentIndex(0);
            QTest::mouseClick(page->txtServiceTitle, Qt::LeftButton);
            QTest::keyClicks(page->txtServiceTitle, QStringLiteral(" neu"));
            QTest::keyClick(page->txtServiceTitle, Qt::Key_Return);
            QTRY_VERIFY(page->projectManager()->itemsModel->indexById(left, 1).data().toString().endsWith(" neu"));
        } else if (change == QLatin1String("tuning")) {
            QTest::mouseClick(tuning()->rbTerrestrial, Qt::LeftButton);
            tuning()->sbTerrestrialSID->setValue(26237);
            tuning()->sbTerrestrialFrequency->setValue(159.0);
            QCOMPARE(ListFixtures::canonical(details(left)), ListFixtures::canonical(details("1")));
        } else {
            // the user only looks: the focus in the tuning fields, then on the twin
            tuning()->sbTerrestrialSID->setFocus();
        }
        const QString name = page->projectManager()->itemsModel->indexById(left, 1).data().toString();
        select(left == QLatin1String("5") ? QStringLiteral("1") : QStringLiteral("2"));
        QCOMPARE(answers.boxTexts, boxes);
        // a service the user had is never removed by the check, and typing after it goes where it is typed
        QCOMPARE(page->itemsTableViewAll->model()->rowCount(), 5);
        QTest::keyClicks(page->itemsTableViewAll, QStringLiteral("x"));
        QCOMPARE(page->projectManager()->itemsModel->indexById(left, 1).data().toString(), name);
        // a second leaving, with nothing changed since, says nothing more
        select(left);
        select(QStringLiteral("4"));
        QCOMPARE(answers.boxTexts, boxes);
    }
};

OMBRELAY_TEST_MAIN(TestTuningPage)
#include "tst_tuningpage.moc"
