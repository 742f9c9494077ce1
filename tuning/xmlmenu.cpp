#include "tuning/xmlmenu.h"

#include "document/exception.h"
#include "document/xmldocument.h"

#include <QFile>
#include <QFileInfo>

XmlMenu::XmlMenu(const QString &fileName, QWidget *parent, const QMap<QString, QString> &properties)
    : QMenu(parent)
    , fileName(fileName)
    , properties(properties)
{
    connect(this, &QMenu::aboutToShow, this, &XmlMenu::maboutToShow, Qt::UniqueConnection);
}

XmlMenu::XmlMenu(QWidget *parent, const QMap<QString, QString> &properties)
    : XmlMenu(QString(), parent, properties)
{}

XmlMenu::~XmlMenu() = default;

void XmlMenu::setXmlText(const QString &text)
{
    xmlText = text;
    built = false;
    maboutToShow();
}

void XmlMenu::handleAction(QAction *action)
{
    emit DataChosen(action->data().toString());
}

QString XmlMenu::sourceText() const
{
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.exists() || !info.isFile() || info.suffix() != QLatin1String("xml"))
        return xmlText;
    // A qualifying file is the only source, even when it cannot be read.
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.read(maximumFileSize + 1);
    if (bytes.size() > maximumFileSize)
        return {};
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return QString::fromUtf8(bytes);
}

void XmlMenu::maboutToShow()
{
    if (built)
        return;
    built = true;
    const QString text = sourceText();
    if (!text.isEmpty()) {
        try {
            const XmlDocument document(text);
            menuTag = properties.value(QStringLiteral("menuElementName"), QStringLiteral("action"));
            actionTag = properties.value(QStringLiteral("actionElementName"), QStringLiteral("menu"));
            labelPath = properties.value(QStringLiteral("label"), QStringLiteral("label"));
            dataPath = properties.value(QStringLiteral("data"), QStringLiteral("data"));
            toolTipPath = properties.value(QStringLiteral("toolTip"), QStringLiteral("toolTip"));
            buildFromXml(this, document.root.childNodes());
            connect(this, &QMenu::triggered, this, &XmlMenu::handleAction, Qt::UniqueConnection);
        } catch (const Exception &) {
            // A broken description offers nothing to choose rather than a half-built list.
            setEnabled(false);
        }
    }
    // Only setXmlText builds again; opening the menu later shows what it holds.
    disconnect(this, &QMenu::aboutToShow, this, &XmlMenu::maboutToShow);
}

void XmlMenu::buildFromXml(QMenu *target, const QDomNodeList &nodes)
{
    for (int i = 0; i < nodes.length(); ++i) {
        const QDomElement element = nodes.item(i).toElement();
        if (element.isNull())
            continue;
        const DocItem item(element);
        if (element.tagName() == actionTag) {
            auto *action = new QAction(item.value(labelPath), target);
            action->setData(item.value(dataPath));
            action->setToolTip(item.value(toolTipPath));
            target->addAction(action);
        } else if (element.tagName() == menuTag) {
            auto *submenu = new QMenu(item.value(labelPath), target);
            buildFromXml(submenu, element.childNodes());
            target->addMenu(submenu);
        }
    }
    setEnabled(!actions().isEmpty());
}
