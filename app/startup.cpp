#include "app/startup.h"

#include "app/fontsubstitutes.h"
#include "app/mainwindow.h"
#include "app/singleinstance.h"
#include "base/settings.h"
#include "base/translatorloader.h"
#include "devices/devicepages.h"
#include "document/itemproperty.h"
#include "exchange/selectdrivedialog.h"
#include "lists/linklistmodule.h"
#include "lists/radiolistmodule.h"
#include "lists/tvlistmodule.h"
#include "media/mediaexplorermodule.h"
#include "modules/modulefactory.h"
#include "ui_mainwindow.h"
#include "widgets/messagebox.h"

#include <QApplication>
#include <QFile>

void registerStartUpServices()
{
    installFontSubstitutes();
    ModuleFactory::registerProgramModules();
    ModuleFactory::registerListModule<TVListModule>(OmbrelayModule::TypeTvList);
    ModuleFactory::registerListModule<RadioListModule>(OmbrelayModule::TypeRadioList);
    ModuleFactory::registerListModule<LinkListModule>(OmbrelayModule::TypeLinkList);
    registerDevicePages();
    ItemProperty::setRejectionReporter(&MessageBox::critical);
    SelectDriveDialog::registerAsExportPicker();
    MediaExplorerModule::registerModule();
}

QString startUpLanguage()
{
    const QString language = Settings::getString(Settings::PreferredLanguage, QStringLiteral("en_EN"));
    return language.isEmpty() ? QStringLiteral("en_EN") : language;
}

void prepareMainWindow(MainWindow &window, const QString &language)
{
    window.selectLanguageButton(language);
    loadTranslator(window.translator(), language);

    QFile styleSheet(QStringLiteral(":/styles/style"));
    if (styleSheet.open(QIODevice::ReadOnly))
        qApp->setStyleSheet(QString::fromUtf8(styleSheet.readAll()));

    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window.setWindowTitle(QCoreApplication::applicationName());
    window.form()->centralWidget->setAttribute(Qt::WA_MouseTracking);
}

void connectHandOver(SingleInstance &instance, MainWindow &window)
{
    instance.setGate(&window, [&window] { return window.takesHandOver(); });
    QObject::connect(&instance, &SingleInstance::messageReceived, &window, &MainWindow::tryToOpenFile);
}
