#include "base/translatorloader.h"

#include <QCoreApplication>
#include <QDebug>
#include <QTranslator>

bool loadTranslator(QTranslator *translator, const QString &language)
{
    if (!translator)
        return false;
    QCoreApplication::removeTranslator(translator);
    if (language == QLatin1String("en_EN"))
        return false;
    if (!translator->load(language, QStringLiteral(":/translations/Resources/MUI/"), QString(),
                          QStringLiteral(".qm"))) {
        qDebug() << "Can not load translator";
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}
