#include "base/translatorloader.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMutex>
#include <QMutexLocker>
#include <QTranslator>

namespace {
// Not the default locale: that one also reads and writes the numbers of the editors, whose texts
// must not change with the language.
QMutex localeMutex;
QLocale &currentLocale()
{
    static QLocale locale(QLocale::English, QLocale::UnitedKingdom);
    return locale;
}

void setLanguageLocale(const QLocale &locale)
{
    const QMutexLocker locker(&localeMutex);
    currentLocale() = locale;
}
} // namespace

bool loadTranslator(QTranslator *translator, const QString &language)
{
    if (!translator)
        return false;
    // Set before the translation changes: pages rebuild their texts on the language-change event.
    const QLocale english(QLocale::English, QLocale::UnitedKingdom);
    if (language == QLatin1String("en_EN"))
        setLanguageLocale(english);
    QCoreApplication::removeTranslator(translator);
    if (language == QLatin1String("en_EN"))
        return false;
    if (!translator->load(language, QStringLiteral(":/translations/Resources/MUI/"), QString(),
                          QStringLiteral(".qm"))) {
        qDebug() << "Can not load translator";
        setLanguageLocale(english);
        return false;
    }
    setLanguageLocale(QLocale(language));
    QCoreApplication::installTranslator(translator);
    return true;
}

QLocale languageLocale()
{
    const QMutexLocker locker(&localeMutex);
    return currentLocale();
}
