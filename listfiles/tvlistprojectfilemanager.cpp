#include "listfiles/tvlistprojectfilemanager.h"

TVListProjectFileManager::TVListProjectFileManager(QWidget *parent)
    : ServiceListProjectFileManager(QStringLiteral("TVListModule/Project"), tr("Ombrelay TV Lists Project"),
                                    QStringLiteral("tvqvxc"), tr("Ombrelay TV Lists Export File"),
                                    QStringLiteral("tvqvx"), QStringLiteral("tvService"), parent)
{}
