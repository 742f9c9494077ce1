#pragma once

// The forms and the style sheet name Windows fonts ("Segoe UI", "MS Shell Dlg 2", ...), which Linux
// does not have. Maps each of them to the closest installed family so text keeps its intended look
// and metrics instead of falling back to whatever fontconfig picks. Call once after QApplication exists
// and before the first window is built.
void installFontSubstitutes();
