#pragma once

// Walks the visible widgets of a window and writes down every text a user would see cut, or in English
// where the language has a translation of it. One line per problem:
//   "<page> | <object> | <language> | <problem> | <text>"
// so a failure says where to look, and a list of known failures can hold exact lines.

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QCheckBox>
#include <QCommandLinkButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHash>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolButton>
#include <QXmlStreamReader>

class TextsFitChecker
{
public:
    // The sources that have a finished translation, different from the source, in the .ts files of language
    // ("de_DE", "pl_PL") in folder.
    static QSet<QString> translatedSources(const QString &folder, const QString &language)
    {
        QSet<QString> sources;
        const QStringList files =
            QDir(folder).entryList({QStringLiteral("*_%1.ts").arg(language)}, QDir::Files, QDir::Name);
        for (const QString &name : files) {
            QFile file(QDir(folder).filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            QXmlStreamReader xml(&file);
            QString source;
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement)
                    continue;
                if (xml.name() == QLatin1String("source")) {
                    source = xml.readElementText();
                } else if (xml.name() == QLatin1String("translation")) {
                    const QString type = xml.attributes().value(QLatin1String("type")).toString();
                    const QString translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                    if (type.isEmpty() && !translation.isEmpty() && translation != source)
                        sources.insert(source);
                }
            }
        }
        return sources;
    }

    TextsFitChecker(const QString &language, const QSet<QString> &translated)
        : m_language(language)
        , translated(translated)
    {}

    // Texts that stay as they are in every language: format names the user knows by these letters.
    QSet<QString> kept = {QStringLiteral("MP3"), QStringLiteral("MPG"), QStringLiteral("MKV"), QStringLiteral("DVD")};

    QString language() const { return m_language; }

    QStringList problems;
    QStringList seen; // "<page> | <object> | <text>" of every text looked at, so a row that saw nothing cannot pass

    void check(QWidget *top, const QString &page)
    {
        QList<QWidget *> widgets{top};
        widgets += top->findChildren<QWidget *>();
        for (QWidget *w : std::as_const(widgets)) {
            // Hidden, or squeezed to nothing by a splitter: the user sees no text there at all.
            if (!w->isVisible() || squeezed(w, top) || isSystemDialogPart(w))
                continue;
            if (auto *label = qobject_cast<QLabel *>(w))
                checkLabel(label, page);
            else if (auto *button = qobject_cast<QAbstractButton *>(w))
                checkButton(button, page);
            else if (auto *tabs = qobject_cast<QTabBar *>(w))
                checkTabs(tabs, page);
            else if (auto *header = qobject_cast<QHeaderView *>(w))
                checkHeader(header, page);
        }
    }

private:
    QString m_language;
    QSet<QString> translated;

    static bool squeezed(QWidget *w, QWidget *top)
    {
        for (QWidget *up = w; up && up != top; up = up->parentWidget())
            if (up->width() <= 0 || up->height() <= 0)
                return true;
        return false;
    }

    static bool isSystemDialogPart(QWidget *w)
    {
        for (QWidget *up = w; up; up = up->parentWidget())
            if (qobject_cast<QFileDialog *>(up))
                return true;
        return false;
    }

    // The object name, or the nearest named ancestor with the class, for widgets a form leaves unnamed.
    static QString nameOf(QWidget *w)
    {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            return w->objectName();
        QWidget *up = w->parentWidget();
        while (up && (up->objectName().isEmpty() || up->objectName().startsWith(QLatin1String("qt_"))))
            up = up->parentWidget();
        return QStringLiteral("%1/%2").arg(up ? up->objectName() : QString(),
                                           QString::fromLatin1(w->metaObject()->className()));
    }

    static QString withoutMnemonic(QString text)
    {
        text.replace(QLatin1String("&&"), QChar(0x1));
        text.remove(QLatin1Char('&'));
        text.replace(QChar(0x1), QLatin1Char('&'));
        return text;
    }

    static int widestLine(const QFontMetrics &fm, const QString &text)
    {
        int widest = 0;
        for (const QString &line : text.split(QLatin1Char('\n')))
            widest = qMax(widest, fm.horizontalAdvance(line));
        return widest;
    }

    void report(const QString &page, const QString &object, const QString &problem, const QString &text)
    {
        QString shown = text;
        shown.replace(QLatin1Char('\n'), QLatin1String("\\n"));
        problems << QStringLiteral("%1 | %2 | %3 | %4 | %5").arg(page, object, m_language, problem, shown);
    }

    void checkLanguage(const QString &page, const QString &object, const QString &text)
    {
        seen << QStringLiteral("%1 | %2 | %3").arg(page, object, text);
        if (m_language == QLatin1String("en_EN") || kept.contains(text))
            return;
        if (translated.contains(text) || translated.contains(withoutMnemonic(text)))
            report(page, object, QStringLiteral("English source shown"), text);
    }

    void checkLabel(QLabel *label, const QString &page)
    {
        const QString text = label->text();
        if (text.trimmed().isEmpty() || !label->pixmap().isNull())
            return;
        checkLanguage(page, nameOf(label), text);
        if (elidedOnPurpose(text, label->toolTip()))
            return;
        const QFontMetrics fm(label->font());
        QRect room = label->contentsRect();
        const int margin = label->margin();
        room.adjust(margin, margin, -margin, -margin);
        int indent = label->indent();
        if (indent < 0 && label->frameWidth() > 0)
            indent = fm.horizontalAdvance(QLatin1Char('x')) / 2;
        if (indent > 0 && (label->alignment() & (Qt::AlignLeft | Qt::AlignRight)))
            room.setWidth(room.width() - indent);

        const bool rich =
            label->textFormat() == Qt::RichText || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text));
        int width = 0;
        int height = 0;
        if (rich) {
            QTextDocument doc;
            doc.setDefaultFont(label->font());
            doc.setDocumentMargin(0);
            doc.setHtml(text);
            if (label->wordWrap())
                doc.setTextWidth(room.width());
            width = qCeil(doc.idealWidth());
            height = qCeil(doc.size().height());
        } else {
            const QString shown = label->buddy() ? withoutMnemonic(text) : text;
            if (label->wordWrap()) {
                const QRect needed = fm.boundingRect(QRect(0, 0, room.width(), 1 << 20),
                                                     Qt::TextWordWrap | int(label->alignment()), shown);
                width = needed.width();
                height = needed.height();
                const QString stranded = strandedWord(label->font(), shown, room.width());
                if (!stranded.isEmpty())
                    report(page, nameOf(label), QStringLiteral("\"%1\" alone on a line").arg(stranded), text);
            } else {
                width = widestLine(fm, shown);
            }
        }
        // One pixel of height is left to rounding: the label lays its lines out itself.
        if (width > room.width() || (label->wordWrap() && height > room.height() + 1))
            report(page, nameOf(label),
                   QStringLiteral("cut (needs %1x%2, has %3x%4)")
                       .arg(width)
                       .arg(height)
                       .arg(room.width())
                       .arg(room.height()),
                   text);
    }

    // A line break written into a text that also wraps can leave the last word before it alone on its
    // line; the word is returned, or nothing when every forced line ends well.
    static QString strandedWord(const QFont &font, const QString &text, int width)
    {
        const QStringList paragraphs = text.split(QLatin1Char('\n'));
        for (int p = 0; p + 1 < paragraphs.size(); ++p) {
            QTextLayout layout(paragraphs[p], font);
            QTextOption option;
            option.setWrapMode(QTextOption::WordWrap);
            layout.setTextOption(option);
            layout.beginLayout();
            QList<QTextLine> lines;
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(width);
                lines << line;
            }
            layout.endLayout();
            if (lines.size() < 2)
                continue;
            const QString last = paragraphs[p].mid(lines.last().textStart(), lines.last().textLength()).trimmed();
            if (!last.isEmpty() && !last.contains(QLatin1Char(' ')))
                return last;
        }
        return {};
    }

    static bool elidedOnPurpose(const QString &text, const QString &toolTip)
    {
        return !toolTip.isEmpty() && (text.endsWith(QChar(0x2026)) || text.endsWith(QLatin1String("...")));
    }

    // The room the style leaves the text of a button: its contents rectangle (after frame, padding and
    // the indicator of a check box or radio button), less the icon and the menu arrow drawn inside it.
    static int textRoom(QAbstractButton *button)
    {
        QStyle *style = button->style();
        const int iconShare = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        if (auto *tool = qobject_cast<QToolButton *>(button)) {
            // A tool button's padding is known only to its style sheet rule: measured by its own size
            // hint with a text long enough that no minimum width hides the text's share.
            const QString saved = tool->text();
            const QString probe(80, QLatin1Char('M'));
            const bool blocked = tool->blockSignals(true);
            tool->setText(probe);
            // The size hint also adds a space's width on each side of the text, which the text does not need.
            const QFontMetrics fm(tool->font());
            const int chrome = tool->sizeHint().width() - fm.horizontalAdvance(probe) - 2 * fm.horizontalAdvance(u' ');
            tool->setText(saved);
            tool->blockSignals(blocked);
            return tool->width() - chrome; // an icon beside the text is part of the chrome
        }
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        option.icon = button->icon();
        option.iconSize = button->iconSize();
        QStyle::SubElement element = QStyle::SE_PushButtonContents;
        if (qobject_cast<QCheckBox *>(button))
            element = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<QRadioButton *>(button))
            element = QStyle::SE_RadioButtonContents;
        int room = style->subElementRect(element, &option, button).width() - iconShare;
        auto *push = qobject_cast<QPushButton *>(button);
        if (push && push->menu())
            room -= style->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, button);
        return room;
    }

    void checkButton(QAbstractButton *button, const QString &page)
    {
        const QString text = button->text();
        if (text.trimmed().isEmpty())
            return;
        if (auto *tool = qobject_cast<QToolButton *>(button)) {
            Qt::ToolButtonStyle style = tool->toolButtonStyle();
            if (style == Qt::ToolButtonFollowStyle)
                style = Qt::ToolButtonStyle(tool->style()->styleHint(QStyle::SH_ToolButtonStyle, nullptr, tool));
            if (style == Qt::ToolButtonIconOnly && !tool->icon().isNull())
                return; // the text is only its tool tip
        }
        checkLanguage(page, nameOf(button), text);
        if (qobject_cast<QCommandLinkButton *>(button)) {
            checkCommandLink(static_cast<QCommandLinkButton *>(button), page);
            return;
        }
        const int needed = widestLine(QFontMetrics(button->font()), withoutMnemonic(text));
        const int room = textRoom(button);
        if (needed > room)
            report(page, nameOf(button), QStringLiteral("cut (needs %1, has %2)").arg(needed).arg(room), text);
    }

    // A command link draws its title in a bolder font than its own and wraps its description below.
    void checkCommandLink(QCommandLinkButton *button, const QString &page)
    {
        const QString probe(80, QLatin1Char('M'));
        const QString text = button->text();
        const bool blocked = button->blockSignals(true);
        button->setText(probe);
        const int hint = button->sizeHint().width();
        button->setText(probe + probe);
        const int probeWidth = button->sizeHint().width() - hint; // the title font's advance of the probe
        button->setText(text);
        button->blockSignals(blocked);
        QFont title = button->font();
        title.setBold(true);
        if (QFontMetrics(title).horizontalAdvance(probe) != probeWidth)
            title.setPointSizeF(9.0);
        const int needed = QFontMetrics(title).horizontalAdvance(withoutMnemonic(text)) + hint - probeWidth;
        if (needed > button->width())
            report(page, nameOf(button), QStringLiteral("cut (needs %1, has %2)").arg(needed).arg(button->width()),
                   text);
        if (!button->description().isEmpty()) {
            checkLanguage(page, nameOf(button), button->description());
            const int height = qMax(button->heightForWidth(button->width()), drawnHeight(button, title));
            if (height > button->height())
                report(page, nameOf(button),
                       QStringLiteral("description cut (needs height %1, has %2)").arg(height).arg(button->height()),
                       button->description());
        }
    }

    // The height a command link needs for its description as it draws it: the button measures its
    // description without its line breaks, but draws each of them, so a description that starts
    // with an empty line is a line taller than the button asks for. The margins, the icon's share
    // and the description's 9 pt are those the button lays its texts out with.
    static int drawnHeight(QCommandLinkButton *button, const QFont &title)
    {
        const int top = 10;
        const int bottom = 10;
        const int right = 4;
        const int textOffset = button->icon().actualSize(button->iconSize()).width() + 7 + 6;
        QFont font = button->font();
        font.setPointSizeF(9.0);
        const int width = button->width() - textOffset - right;
        const QRect needed = QFontMetrics(font).boundingRect(QRect(0, 0, qMax(1, width), 1 << 20), Qt::TextWordWrap,
                                                             button->description());
        return top + QFontMetrics(title).height() + needed.height() + bottom;
    }

    // Whether a scroll button of a tab bar draws anything but its background and frame: the arrow
    // that tells the user the bar scrolls.
    static bool drawsArrow(QToolButton *button)
    {
        const QImage image = button->grab().toImage();
        if (image.width() < 6 || image.height() < 6)
            return false;
        QHash<QRgb, int> colours;
        for (int y = 2; y < image.height() - 2; ++y)
            for (int x = 2; x < image.width() - 2; ++x)
                ++colours[image.pixel(x, y)];
        QRgb background = 0;
        int most = 0;
        for (auto it = colours.cbegin(); it != colours.cend(); ++it)
            if (it.value() > most) {
                most = it.value();
                background = it.key();
            }
        int marked = 0;
        for (auto it = colours.cbegin(); it != colours.cend(); ++it)
            if (qAbs(qGray(it.key()) - qGray(background)) > 60)
                marked += it.value();
        return marked >= 4;
    }

    struct TabAccess : QTabBar
    {
        using QTabBar::initStyleOption;
    };

    void checkTabs(QTabBar *tabs, const QString &page)
    {
        const QString owner = nameOf(tabs->parentWidget() ? tabs->parentWidget() : tabs);
        // The part of the bar its tabs show in: the scroll buttons, when the tabs need them, take the
        // rest, and each that can scroll must show its arrow or the user does not know the bar scrolls.
        QRect room = tabs->rect();
        bool scrolls = false;
        for (QToolButton *scroll : tabs->findChildren<QToolButton *>(Qt::FindDirectChildrenOnly)) {
            if (!scroll->isVisible())
                continue;
            scrolls = true;
            const QRect at = scroll->geometry();
            if (at.center().x() > room.center().x())
                room.setRight(qMin(room.right(), at.left() - 1));
            else
                room.setLeft(qMax(room.left(), at.right() + 1));
            // A disabled one (at the end it scrolls towards) may grey its arrow out of sight.
            if (scroll->isEnabled() && !drawsArrow(scroll))
                report(page,
                       QStringLiteral("%1[%2]").arg(owner, scroll->objectName().isEmpty()
                                                               ? QStringLiteral("scroll button")
                                                               : scroll->objectName()),
                       QStringLiteral("scroll button without arrow"), QString());
        }
        for (int i = 0; i < tabs->count(); ++i) {
            const QString text = tabs->tabText(i);
            if (!tabs->isTabVisible(i) || text.trimmed().isEmpty())
                continue;
            const QString object = QStringLiteral("%1[tab %2]").arg(owner).arg(i);
            checkLanguage(page, object, text);
            if (tabs->elideMode() != Qt::ElideNone && !tabs->tabToolTip(i).isEmpty())
                continue;
            // The bar lays the tab out as the style paints it: the text room and, where the bar elides,
            // the text it will draw.
            QStyleOptionTab option;
            (tabs->*(&TabAccess::initStyleOption))(&option, i);
            const QRect textArea = tabs->style()->subElementRect(QStyle::SE_TabBarTabText, &option, tabs);
            const int has = textArea.width();
            const int needed = tabs->fontMetrics().horizontalAdvance(withoutMnemonic(text));
            if (option.text != text || needed > has)
                report(page, object, QStringLiteral("cut (needs %1, has %2)").arg(needed).arg(has), text);
            // A tab the bar shows only in part; one wholly out of sight is reached with the scroll buttons.
            const bool across = option.shape == QTabBar::RoundedNorth || option.shape == QTabBar::RoundedSouth ||
                                option.shape == QTabBar::TriangularNorth || option.shape == QTabBar::TriangularSouth;
            const int from = across ? textArea.left() : textArea.top();
            const int to = across ? textArea.right() : textArea.bottom();
            const int shownFrom = qMax(from, across ? room.left() : room.top());
            const int shownTo = qMin(to, across ? room.right() : room.bottom());
            if (shownFrom > shownTo && !scrolls)
                report(page, object, QStringLiteral("out of sight, the bar does not scroll"), text);
            else if (shownFrom <= shownTo && (shownFrom != from || shownTo != to))
                report(page, object,
                       QStringLiteral("cut at the bar's edge (shows %1 of %2)")
                           .arg(shownTo - shownFrom + 1)
                           .arg(to - from + 1),
                       text);
        }
    }

    void checkHeader(QHeaderView *header, const QString &page)
    {
        QAbstractItemModel *model = header->model();
        if (!model || header->orientation() != Qt::Horizontal)
            return;
        const QString owner = nameOf(header->parentWidget() ? header->parentWidget() : header);
        const QFontMetrics fm(header->font());
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int logical = 0; logical < header->count(); ++logical) {
            if (header->isSectionHidden(logical))
                continue;
            const QString text = model->headerData(logical, Qt::Horizontal, Qt::DisplayRole).toString();
            if (text.trimmed().isEmpty())
                continue;
            const QString object = QStringLiteral("%1[column %2]").arg(owner).arg(logical);
            checkLanguage(page, object, text);
            // A fixed column may elide its title when the whole title is its tool tip.
            if (model->headerData(logical, Qt::Horizontal, Qt::ToolTipRole).toString() == text)
                continue;
            int needed = widestLine(fm, text) + 2 * margin;
            if (header->isSortIndicatorShown() && header->sortIndicatorSection() == logical)
                needed += header->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header) + margin;
            const int has = header->sectionSize(logical);
            if (needed > has)
                report(page, object, QStringLiteral("cut (needs %1, has %2)").arg(needed).arg(has), text);
        }
    }
};
