#pragma once

#include <QString>

class QTranslator;

// Switches the application to language ("en_EN", "de_DE" or "pl_PL"): removes translator from the
// application, then, for any language but "en_EN", loads it from the compiled-in translations under
// ":/translations/Resources/MUI/" and installs it. Installing sends every widget the language-change event.
// Returns whether a translation is installed afterwards.
bool loadTranslator(QTranslator *translator, const QString &language);
