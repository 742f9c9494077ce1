#pragma once

#include <QString>

// Checks applied to XML text from files or the network before the DOM parser sees it. The DOM frees
// and serialises nodes recursively, so a hostile document nested a hundred thousand levels deep would
// overflow the stack; an internal DTD subset could expand entities into such nesting.
namespace XmlTextGuard {

constexpr int maximumDepth = 256;

// True when the text may be handed to the parser. Otherwise *message, *line and *column describe
// the first place that fails the check (line and column counted from 1).
bool check(const QString &text, QString *message, int *line, int *column);

} // namespace XmlTextGuard
