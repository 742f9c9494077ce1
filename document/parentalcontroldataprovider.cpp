#include "document/parentalcontroldataprovider.h"

ParentalControlDataProvider::ParentalControlDataProvider()
{
    QString text = QStringLiteral("<root>");
    for (int child = 1; child <= 4; ++child)
        text += QStringLiteral("<child id='%1'>").arg(child) + QStringLiteral("%1</child>").arg(child);
    text += QStringLiteral("</root>");
    children.setContent(text);
    setRoot(children.documentElement(), QStringLiteral("child"));
}
