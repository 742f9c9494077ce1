#pragma once

#include "generatedtvlist.h"
#include "listpagetest.h"
#include "radiolisttext.h"

#include "lists/linklistmodule.h"
#include "lists/radiolistmodule.h"
#include "lists/tvlistmodule.h"

#include <QString>
#include <QTest>

#include <type_traits>

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

// Calls run with a null pointer of the page class of this type, so one generic body serves all three:
// forPageOfType(type, [&](auto *page) { using Page = std::remove_pointer_t<decltype(page)>; ... }).
template<class Run> void forPageOfType(const QString &type, Run &&run)
{
    if (type == QLatin1String("radio"))
        run(static_cast<RadioListModule *>(nullptr));
    else if (type == QLatin1String("link"))
        run(static_cast<LinkListModule *>(nullptr));
    else
        run(static_cast<TVListModule *>(nullptr));
}

// The rows of a test with the one column "type": every list type.
inline void addTypeRows()
{
    QTest::addColumn<QString>("type");
    for (const char *type : {"tv", "radio", "link"})
        QTest::newRow(type) << type;
}

template<class Page> constexpr OmbrelayModule::ModuleTypes moduleTypeOf()
{
    return std::is_same_v<Page, RadioListModule>  ? OmbrelayModule::TypeRadioList
           : std::is_same_v<Page, LinkListModule> ? OmbrelayModule::TypeLinkList
                                                  : OmbrelayModule::TypeTvList;
}
