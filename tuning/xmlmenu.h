#pragma once

#include <QMap>
#include <QMenu>

class QDomNodeList;

// A pop-up menu described by XML: elements with the menu tag become submenus, elements with the action
// tag become actions carrying a data text, which DataChosen reports when the user picks one. The
// description comes from a file (read the first time the menu opens) or from a text handed over with
// setXmlText. Properties: "menuElementName", "actionElementName", and the paths "label", "data" and
// "toolTip" (DocItem paths on the element at hand).
class XmlMenu : public QMenu
{
    Q_OBJECT

public:
    XmlMenu(const QString &fileName, QWidget *parent, const QMap<QString, QString> &properties);
    XmlMenu(QWidget *parent, const QMap<QString, QString> &properties);
    ~XmlMenu() override;

    // Builds again at once from the file when one qualifies, else from text. Existing entries stay:
    // a caller replacing the content clears the menu first.
    void setXmlText(const QString &text);

    // Channel tables are a few kilobytes; anything past this is not one.
    static constexpr qint64 maximumFileSize = 4 * 1024 * 1024;

signals:
    void DataChosen(const QString &data);

private slots:
    void handleAction(QAction *action);
    void maboutToShow();

private:
    void buildFromXml(QMenu *target, const QDomNodeList &nodes);
    QString sourceText() const;

    QString actionTag;
    QString dataPath;
    QString fileName;
    bool built = false;
    QMap<QString, QString> properties;
    QString menuTag;
    QString labelPath;
    QString toolTipPath;
    QString xmlText;
};
