#include "devices/devicemodule.h"

#include <QEvent>

DeviceModule::DeviceModule(QWidget *parent)
    : OmbrelayModule(parent)
{
    setupUi(this);
    const QList<QPair<QAbstractButton *, ModuleTypes>> buttons = {{btnShowLinkList, TypeLinkList},
                                                                  {btnShowMediaExplorer, TypeMediaExplorer},
                                                                  {btnShowProperties, TypeDeviceProperties},
                                                                  {btnShowRadioList, TypeRadioList},
                                                                  {btnShowTvList, TypeTvList}};
    for (const auto &[button, type] : buttons) {
        const ModuleTypes wanted = type;
        connect(button, &QAbstractButton::pressed, this, [this, wanted] { emit showModuleRequest(wanted); });
    }
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
