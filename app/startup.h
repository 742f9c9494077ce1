#pragma once

#include <QString>

class MainWindow;
class SingleInstance;

// The start of a full instance, after the single-instance hand-over, split out of main so that the
// tests run the very steps the program runs.

// Program-wide hooks every window relies on: font substitutes, the module types and the error box
// that shows a value a table refused. Call once after the application identity is set.
void registerStartUpServices();

// The stored interface language; an absent or empty value gives "en_EN".
QString startUpLanguage();

// Everything between building the window and showing it: checks the language button of language,
// installs its translator (after the window exists, so the window re-translates itself), applies the
// style sheet and gives the window its frameless flags, title and mouse tracking.
void prepareMainWindow(MainWindow &window, const QString &language);

// Files handed over by later starts go to the window's tryToOpenFile. From the window's close request on,
// the window opens none any more: a later start is refused then, and opens its file in a window of its own.
void connectHandOver(SingleInstance &instance, MainWindow &window);
