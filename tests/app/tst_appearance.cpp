#include "testmain.h"

#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>
#include <QVBoxLayout>

// The compiled-in style sheet and every picture it and the forms name.
class TestAppearance : public QObject
{
    Q_OBJECT

    static QByteArray sheetBytes()
    {
        QFile file(QStringLiteral(":/styles/style"));
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray();
        return file.readAll();
    }

private slots:
    void everyNamedImageLoads_data()
    {
        QTest::addColumn<QString>("path");
        QStringList paths;
        const QString sheet = QString::fromUtf8(sheetBytes());
        const QRegularExpression url(QStringLiteral("url\\((:[^)]+)\\)"));
        for (auto it = url.globalMatch(sheet); it.hasNext();)
            paths << it.next().captured(1);
        QVERIFY(paths.size() >= 14);
        // Pictures the forms and the pages name.
        paths << QStringLiteral(
                     ":/images/icons/settingsIco.png :/images/restore :/images/restore_h :/images/maximize "
                     ":/images/maximize_h :/icons/icons/arrow-stop-180.png :/icons/icons/arrow-090.png "
                     ":/icons/icons/arrow-270.png :/icons/icons/arrow-stop.png :/images/arrl :/icons/errorIcon "
                     ":/icons/icons/Settings-icon.png :/images/minus :/images/plus :/images/logo3 :/icons/warning80 "
                     ":/docs/icons/defaultSTBPic.png :/docs/icons/defaultTVPic.png :/images/arrd :/images/arru "
                     ":/images/favStar :/images/favStar_special :/icons/folder :/icons/pendrive :/icons/largeTV "
                     ":/icons/globe :/icons/radio :/icons/videotape :/icons/video :/icons/music :/icons/uploadUsb24 "
                     ":/icons/downloadUsb24 :/icons/downloadUsb48 :/icons/saveAs :/icons/save :/icons/SaveFile "
                     ":/icons/printer :/icons/newFileLarge :/icons/NewFile :/icons/OpenFile :/icons/tool "
                     ":/icons/filter :/icons/back :/icons/upload :/icons/search128 :/icons/connect128 "
                     ":/icons/properties64 :/icons/mediaExplorer :/icons/icons/usb_stick.png "
                     ":/icons/icons/Refresh-icon.png :/icons/icons/Open-icon64.png :/icons/icons/Open-icon32.png "
                     ":/icons/icons/printer_small.png :/icons/arrowRight :/icons/tvGrayedout :/icons/radioGrayedout "
                     ":/icons/globeGrayedout :/icons/folderGrayedout :/icons/connectedDevice :/icons/connectingDevice "
                     ":/icons/disconnectedDevice :/icons/usbManagedDevice")
                     .split(QLatin1Char(' '));
        paths.removeDuplicates();
        for (const QString &path : std::as_const(paths))
            QTest::newRow(qPrintable(path)) << path;
    }
    void everyNamedImageLoads()
    {
        QFETCH(QString, path);
        QImageReader reader(path);
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QVERIFY(QPixmap(path).width() > 0);
    }

    void busyIndicatorAnimates()
    {
        QMovie movie(QStringLiteral(":/icons/icons/loader.gif"));
        QVERIFY(movie.isValid());
        QVERIFY(movie.frameCount() > 1);
        QList<QImage> frames;
        for (int i = 0; i < movie.frameCount(); ++i) {
            QVERIFY(movie.jumpToFrame(i));
            frames << movie.currentImage();
        }
        // The bright dot moves: neighbouring frames differ, and the corners stay transparent.
        QVERIFY(frames.at(0) != frames.at(1));
        QCOMPARE(qAlpha(frames.at(0).pixel(0, 0)), 0);
    }

    void sheetAppliesWithoutComplaint()
    {
        QTest::failOnWarning(
            QRegularExpression(QStringLiteral("style ?sheet|parse|image"), QRegularExpression::CaseInsensitiveOption));
        qApp->setStyleSheet(QString::fromUtf8(sheetBytes()));
        QWidget page;
        auto *layout = new QVBoxLayout(&page);
        auto *button = new QPushButton(QStringLiteral("Send"), &page);
        auto *tool = new QToolButton(&page);
        auto *label = new QLabel(QStringLiteral("Name"), &page);
        layout->addWidget(button);
        layout->addWidget(tool);
        layout->addWidget(label);
        button->setEnabled(false);
        tool->setEnabled(false);
        label->setEnabled(false);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        page.grab();
        // Disabled buttons keep a faint blue; other disabled texts turn grey.
        QCOMPARE(button->palette().color(QPalette::Disabled, QPalette::ButtonText), QColor(44, 120, 204, 50));
        QCOMPARE(tool->palette().color(QPalette::Disabled, QPalette::ButtonText), QColor(44, 120, 204, 50));
        QCOMPARE(label->palette().color(QPalette::Disabled, QPalette::WindowText), QColor(0xcc, 0xcc, 0xcc));
        QCOMPARE(label->palette().color(QPalette::Active, QPalette::WindowText), QColor(0x2C, 0x78, 0xCC));
        qApp->setStyleSheet(QString());
    }
};

OMBRELAY_TEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
