#include "testmain.h"

#include "dialoganswerer.h"
#include "listinthewindow.h"
#include "listoftype.h"
#include "listpagetest.h"

#include "app/mainwindow.h"
#include "app/startup.h"
#include "devices/zbdevicecollection.h"
#include "lists/linklistmodule.h"
#include "lists/radiolistmodule.h"
#include "lists/tvlistmodule.h"
#include "widgets/ssearchlineedit.h"

#include <QSettings>
#include <QTest>

// The search box of each list page in the main window, drawn with the program's style sheet: whole, its
// right border inside the window with room beside it, in every language and at every window size.
class TestSearchBoxInTheWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerStartUpServices(); }
    void init() { QSettings().clear(); }

    void searchBoxIsWhole_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QSize>("size"); // empty: the window's own size
        for (const char *type : {"tv", "radio", "link"})
            for (const char *language : {"", "de_DE", "pl_PL"})
                for (const QSize &size : {QSize(), QSize(1024, 700), QSize(1600, 1000)})
                    QTest::addRow("%s %s %dx%d", type, *language ? language : "en", size.width(), size.height())
                        << type << language << size;
    }
    void searchBoxIsWhole()
    {
        QFETCH(QString, type);
        QFETCH(QString, language);
        QFETCH(QSize, size);
        const ProgramLook look(language);
        QVERIFY(look.ok);
        QTemporaryDir dir;
        const QString file = listFile(dir, QStringLiteral("list.") + projectExtensionOf(type), listOfType(type, 30));
        QVERIFY(!file.isEmpty());
        DialogAnswerer answers;
        MainWindow window;
        ZBDeviceInfo usb = usbReceiver();
        usb.setNetListMaxCount(4);
        window.collection()->append(usb);
        if (size.isValid())
            window.resize(size);
        window.show();
        window.tryToOpenFile(file);
        QWidget *box = nullptr;
        forPageOfType(type, [&](auto *page) {
            if (auto *shown = qobject_cast<std::remove_pointer_t<decltype(page)> *>(window.currentModule()))
                box = shown->txtSearch;
        });
        QVERIFY(box);
        QTRY_VERIFY(box->isVisible());
        QCoreApplication::processEvents();
        const QRect inWindow(box->mapTo(&window, QPoint(0, 0)), box->size());
        // Nothing it sits in clips it.
        for (QWidget *parent = box->parentWidget(); parent && parent != &window; parent = parent->parentWidget()) {
            const QRect parentRect(parent->mapTo(&window, QPoint(0, 0)), parent->size());
            QVERIFY2(parentRect.contains(inWindow), qPrintable(parent->objectName()));
        }
        // Its right border is drawn, with the window's own background beside it, not on the window's edge.
        QVERIFY2(inWindow.right() + 3 < window.width(),
                 qPrintable(QStringLiteral("box ends at %1 of %2").arg(inWindow.right()).arg(window.width())));
        const QImage image = window.grab().toImage();
        const int y = inWindow.center().y();
        const QColor border(QStringLiteral("#cccccc"));
        QCOMPARE(QColor(image.pixel(inWindow.right(), y)), border);
        QCOMPARE(QColor(image.pixel(inWindow.left(), y)), border);
        QVERIFY(QColor(image.pixel(inWindow.right() + 2, y)) != border);
    }
};

OMBRELAY_TEST_MAIN(TestSearchBoxInTheWindow)
#include "tst_searchboxinthewindow.moc"
