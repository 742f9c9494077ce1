#pragma once

#include "generatedtvlist.h"
#include "listpagetest.h"
#include "radiolisttext.h"

#include <QString>

// What the tests that go through the TV, radio and link pages alike share: a list of each type ("tv",
// "radio", "link") with count items, and the extension of its project file.

inline QString listOfType(const QString &type, int count)
{
    if (type == QLatin1String("radio"))
        return RadioListText::numbered(count);
    if (type == QLatin1String("link")) {
        QList<int> ids;
        for (int id = 1; id <= count; ++id)
            ids << id;
        return linkDocument(ids);
    }
    return GeneratedTvList::text(count);
}

inline QString projectExtensionOf(const QString &type)
{
    return type == QLatin1String("radio")  ? QStringLiteral("rdqvxc")
           : type == QLatin1String("link") ? QStringLiteral("lkqvxc")
                                           : QStringLiteral("tvqvxc");
}
