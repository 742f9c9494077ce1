#pragma once

#include "app/mainwindow.h"
#include "base/settings.h"
#include "base/translatorloader.h"
#include "device/core/zbdeviceinfo.h"
#include "devices/zbdevicecollection.h"
#include "listfiles/projectfileformat.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTranslator>
#include <QWidget>

// What the tests of the list pages in the real main window share: the program's look in one language, and
// a list file with a receiver it is meant for.

// The style sheet on the application and the translation of a language ("" for English) while this lives;
// afterwards no style sheet and English again, so the next test starts from them.
class ProgramLook
{
public:
    explicit ProgramLook(const QString &language)
    {
        QFile style(QStringLiteral(":/styles/style"));
        ok = style.open(QIODevice::ReadOnly);
        qApp->setStyleSheet(QString::fromUtf8(style.readAll()));
        if (!language.isEmpty())
            ok = loadTranslator(&translator, language) && ok;
    }
    ~ProgramLook()
    {
        loadTranslator(&translator, QStringLiteral("en_EN"));
        qApp->setStyleSheet(QString());
    }
    ProgramLook(const ProgramLook &) = delete;
    ProgramLook &operator=(const ProgramLook &) = delete;
    bool ok = false;

private:
    QTranslator translator;
};

// A project file named name in dir holding text; no receiver saved from an earlier test.
inline QString listFile(const QTemporaryDir &dir, const QString &name, const QString &text)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(ProjectFileFormat::encode(text, true)) < 0)
        return QString();
    Settings::setString(Settings::OmbrelayDeviceList, QString());
    return file.fileName();
}

// A receiver managed through a USB drive that takes large TV and radio lists: a list file opens on it.
inline ZBDeviceInfo usbReceiver()
{
    ZBDeviceInfo usb(QStringLiteral("Stick"), QString(), true);
    usb.setTvListMaxCount(1000);
    usb.setRadioListMaxCount(1000);
    usb.ensureDefaults();
    return usb;
}

// The window shown and active with the USB receiver of usbReceiver(), and file opened on it: the page
// that opened it.
inline OmbrelayModule *openInTheWindow(MainWindow &window, const QString &file)
{
    ZBDeviceInfo usb = usbReceiver();
    window.collection()->append(usb);
    window.show();
    QApplication::setActiveWindow(&window);
    window.tryToOpenFile(file);
    return window.currentModule();
}

// The darkest colour drawn in a widget as the window draws it: the colour of its text.
inline QRgb textColour(QWidget *widget)
{
    const QImage image = widget->grab().toImage();
    QRgb darkest = qRgb(255, 255, 255);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < qGray(darkest))
                darkest = image.pixel(x, y);
    return darkest;
}
