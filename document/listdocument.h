#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QList>
#include <QString>

// The in-memory form of one list file: root "TDocument" with "documentProperties", "items" (the
// entries) and "lists" (the favourite lists, whose "ref" elements hold entry ids).
class ListDocument : public QDomDocument
{
public:
    // Parses and validates text; throws Exception when it is no list document.
    explicit ListDocument(const QString &text);

    static QString emptyDocumentXml(int listCount);

    // Parses text into document without namespace processing; throws Exception ("Error",
    // "Document has errors", details with the parser's message, line and column) on failure.
    static void parse(QDomDocument &document, const QString &text);

    // Tidies the loaded entries with the tag: analogue services get the provider "--no provider--",
    // the text of a satellite element in the tuning settings is dropped.
    void normaliseServices(const QString &tag);

    // The services of the tag below the items in document order, as the loading walk found them; the
    // second call, or one after the tree changed, is not meant (empty or stale).
    QList<QDomElement> takeServices(const QString &tag);

    QDomElement items;
    QDomElement lists;

private:
    QList<QDomElement> tvServices;
    QList<QDomElement> radioServices;

    static bool isServiceTag(const QString &tag);
    // Tidies one service; with lists given, also services nested in it (listed in servicesInside when
    // given), and lists is set to the first "lists" inside it when still null.
    static void normaliseService(QDomDocument &document, const QDomElement &service, QDomElement *lists,
                                 QList<QDomElement> *servicesInside);
};
