#include "listfiles/radiolistprojectfilemanager.h"

RadioListProjectFileManager::RadioListProjectFileManager(QWidget *parent)
    : ServiceListProjectFileManager(QStringLiteral("RadioListModule/Project"), tr("Ombrelay Radio Lists Project"),
                                    QStringLiteral("rdqvxc"), tr("Ombrelay Radio Lists Export File"),
                                    QStringLiteral("rdqvx"), QStringLiteral("radioService"), parent)
{}
