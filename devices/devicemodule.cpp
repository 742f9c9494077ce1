#include "devices/devicemodule.h"

#include <QEvent>

DeviceModule::DeviceModule(QWidget *parent)
    : OmbrelayModule(parent)
{
    setupUi(this);
    connect(btnShowLinkList, &QAbstractButton::pressed, this, &DeviceModule::onBtnShowLinkList);
    connect(btnShowMediaExplorer, &QAbstractButton::pressed, this, &DeviceModule::onBtnShowMediaExplorer);
    connect(btnShowProperties, &QAbstractButton::pressed, this, &DeviceModule::onBtnShowProperties);
    connect(btnShowRadioList, &QAbstractButton::pressed, this, &DeviceModule::onBtnShowRadioList);
    connect(btnShowTvList, &QAbstractButton::pressed, this, &DeviceModule::onBtnShowTvList);
}

void DeviceModule::onBtnShowLinkList()
{
    emit showModuleRequest(TypeLinkList);
}

void DeviceModule::onBtnShowMediaExplorer()
{
    emit showModuleRequest(TypeMediaExplorer);
}

void DeviceModule::onBtnShowProperties()
{
    emit showModuleRequest(TypeDeviceProperties);
}

void DeviceModule::onBtnShowRadioList()
{
    emit showModuleRequest(TypeRadioList);
}

void DeviceModule::onBtnShowTvList()
{
    emit showModuleRequest(TypeTvList);
}

void DeviceModule::retranslate()
{
    retranslateUi(this);
}

void DeviceModule::changeEvent(QEvent *event)
{
    OmbrelayModule::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslateUi(this);
}
