#pragma once

#include <QDomElement>
#include <QString>
#include <QStringList>

// A handle on one XML element whose values are addressed by short paths:
//   ""        the element's own text (its first child node)
//   "@name"   an attribute
//   "<name"   the inner XML of the first descendant named name
//   "name"    the text of the first descendant named name
//   "a/b/@c"  descendants searched one below the other, the last part as above
// Copies share the node; a null item reads as empty everywhere.
class DocItem : public QDomElement
{
public:
    DocItem() = default;
    DocItem(const QDomElement &element);

    QString value(const QString &path) const;
    // mode 0 writes only what exists, 2 creates missing leaves and intermediate elements,
    // any other mode creates missing leaves only
    bool setValue(const QString &path, const QString &value, int mode);
    bool setValue(const QString &path, int value, int mode);

    QString id() const;
    QString toString() const;
    QDomElement childElement(const QString &tag, int n) const;
    QDomElement removeChildren(const QString &tag);
    QStringList children() const;
    int moveBefore(int position);
    int moveTo(int position);

    static DocItem createElement(const QString &tag, const QDomElement &parent, const QString &id);
    static DocItem cloneAs(const QString &tag, const QDomElement &parent, const DocItem &source, const QString &id);

    // the first element named tag below element in document order, or a null element
    static QDomElement firstDescendant(const QDomElement &element, const QString &tag);
    // the element after element in a pre-order walk of top's subtree, or a null element at its end
    static QDomElement nextElement(const QDomElement &element, const QDomElement &top);

    // Counts every write of an "id" attribute through a path, so that lookups cached by id know
    // when an id may have changed in place.
    static quint64 idWrites();
    // Counts every change of the element structure made through DocItem (elements created in
    // place, moved, replaced or removed), so that row lists cached by the providers know when the
    // tree may have changed. Code that changes the structure of a listed tree itself calls
    // structureChanged().
    static quint64 structureWrites();
    static void structureChanged();
    // Counts every change of any document made through DocItem or the item providers (values,
    // attributes and structure), so that an owner can tell "nothing changed since" without looking
    // at the document. Code that changes a document in any other way calls contentChanged().
    static quint64 contentWrites();
    static void contentChanged();

private:
    QString readLeaf(const QString &part) const;
    bool writeLeaf(const QString &part, const QString &value, int mode);
    static void writeDefaultName(DocItem &item, const QString &tag, const QString &id);
};
