#include "document/exception.h"

Exception::Exception(const QString &title, const QString &text, const QString &details)
    : title(title)
    , text(text)
    , details(details)
{}
