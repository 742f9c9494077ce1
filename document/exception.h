#pragma once

#include <QString>

// The error of the document layer: thrown and caught by value.
class Exception
{
public:
    Exception(const QString &title, const QString &text, const QString &details);

    QString title;
    QString text;
    QString details;
};
