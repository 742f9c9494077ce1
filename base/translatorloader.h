#pragma once

#include <QLocale>
#include <QString>

class QTranslator;

// Switches the application to language ("en_EN", "de_DE" or "pl_PL"): removes translator from the
// application, then, for any language but "en_EN", loads it from the compiled-in translations under
// ":/translations/Resources/MUI/" and installs it. Installing sends every widget the language-change event.
// Returns whether a translation is installed afterwards.
bool loadTranslator(QTranslator *translator, const QString &language);

// The locale of the language the texts are in now, for dates and numbers shown beside them: English
// until loadTranslator installs a translation. Any thread may ask.
QLocale languageLocale();
