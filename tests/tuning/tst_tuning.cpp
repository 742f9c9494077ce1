#include "testmain.h"

#include "tuning/tvadvancedsettingsitemdelegatewidget.h"
#include "tuning/xmlmenu.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest/qtestspontaneevent.h>

using Editor = TvAdvancedSettingsItemDelegateWidget;

// Every entry of a menu tree, after the menu has been opened.
static QList<QAction *> entries(QMenu *menu)
{
    emit menu->aboutToShow();
    return menu->findChildren<QAction *>();
}

// Entries in order: an action as "text=data", a submenu as "title[entries]".
static QString shape(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        out << (a->menu() ? a->text() + u'[' + shape(a->menu()) + u']' : a->text() + u'=' + a->data().toString());
    return out.join(u',');
}

// A wheel turned over the widget as by a real mouse; true when something took it.
static bool turnWheel(QWidget *w, int delta)
{
    QWheelEvent wheel({5, 5}, w->mapToGlobal(QPointF(5, 5)), {}, {0, delta}, Qt::NoButton, {}, Qt::NoScrollPhase,
                      false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    QApplication::sendEvent(w, &wheel);
    return wheel.isAccepted();
}

// Steps: "name" clicks a button, "name=value" sets a field's value or index or picks the menu entry whose
// data is value, "@name" focuses a field with its text selected, "'text" types, "enter" presses Return;
// "show", "radio", "first" and "dataChanged" work the editor itself.
static void apply(Editor &e, const QString &steps)
{
    static const QMap<QString, std::function<void(Editor &)>> calls{
        {"radio", &Editor::setRadioMode},
        {"first", &Editor::focusFirstEditor},
        {"dataChanged", &Editor::dataChanged},
        {"noSatellite", [](Editor &e) { e.setSatelliteVisible(false); }},
        {"show", [](Editor &e) {
             e.show(), QApplication::setActiveWindow(&e);
             QVERIFY(QTest::qWaitForWindowActive(&e));
         }}};
    for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
        const QString name = step.section(u'=', 0, 0), value = step.section(u'=', 1);
        QWidget *w = e.findChild<QWidget *>(name.mid(name.startsWith(u'@')));
        auto *menuButton = qobject_cast<QToolButton *>(w);
        if (calls.contains(name)) {
            calls.value(name)(e);
        } else if (name.startsWith(u'@')) {
            w->setFocus();
            w->findChild<QLineEdit *>()->selectAll();
        } else if (name.startsWith(u'\'') || name == "enter") {
            name == "enter" ? QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return)
                            : QTest::keyClicks(QApplication::focusWidget(), name.mid(1));
        } else if (menuButton && menuButton->menu()) {
            for (QAction *action : entries(menuButton->menu()))
                action->data().toString() == value ? action->trigger() : void();
        } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            button->click();
        } else {
            QVERIFY(w->setProperty(qobject_cast<QAbstractSpinBox *>(w) ? "value" : "currentIndex", value));
        }
    }
}

// "name=value" for each name: a button C(hecked) D(isabled) H(idden); a spin box its text, D when disabled,
// F and the selected text when focused; a list its index (editable: its text); "page" the page shown.
static QString probe(Editor &e, const QString &names)
{
    QStringList out;
    for (const QString &key : names.split(u' ', Qt::SkipEmptyParts)) {
        const QString name = key.section(u'=', 0, 0);
        QString v = QString::number(e.stackedWidget->currentIndex());
        if (auto *b = e.findChild<QAbstractButton *>(name))
            v = QString(b->isChecked() ? "C" : "") + (b->isEnabled() ? "" : "D") + (b->isHidden() ? "H" : "");
        else if (auto *s = e.findChild<QAbstractSpinBox *>(name))
            v = s->text() + (s->isEnabled() ? "" : "D") +
                (s->hasFocus() ? "F" + s->findChild<QLineEdit *>()->selectedText() : QString());
        else if (auto *c = e.findChild<QComboBox *>(name))
            v = c->isEditable() ? c->currentText() : QString::number(c->currentIndex());
        out << name + u'=' + v;
    }
    return out.join(u' ');
}

// The texts under root that do not show whole, and the widgets that reach past its right edge.
static QStringList cutOff(QWidget *root)
{
    QStringList faults;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(root))
            continue;
        const int right = w->mapTo(root, QPoint(w->width(), 0)).x();
        if (right > root->width())
            faults << QStringLiteral("%1 ends at %2 of %3").arg(w->objectName()).arg(right).arg(root->width());
        if (w->parentWidget() != root && !w->parentWidget()->rect().contains(w->geometry()))
            faults << QStringLiteral("%1 is clipped by %2").arg(w->objectName(), w->parentWidget()->objectName());
        auto *button = qobject_cast<QAbstractButton *>(w);
        auto *label = qobject_cast<QLabel *>(w);
        if (button && !button->text().isEmpty() && button->sizeHint().width() > button->width())
            faults << QStringLiteral("%1 needs %2 px, has %3")
                          .arg(button->objectName())
                          .arg(button->sizeHint().width())
                          .arg(button->width());
        if (label && !label->text().isEmpty() &&
            label->fontMetrics().horizontalAdvance(label->text()) > label->contentsRect().width())
            faults << QStringLiteral("%1 \"%2\" is cut").arg(label->objectName(), label->text());
        if (auto *list = qobject_cast<QComboBox *>(w)) {
            // Every entry, in the space the style leaves beside the arrow.
            QStyleOptionComboBox option;
            option.initFrom(list);
            option.editable = list->isEditable();
            option.frame = list->hasFrame();
            option.subControls = QStyle::SC_All;
            const int room =
                list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list).width();
            for (int i = 0; i < list->count(); ++i) {
                if (list->fontMetrics().horizontalAdvance(list->itemText(i)) > room)
                    faults << QStringLiteral("%1 \"%2\" is cut").arg(list->objectName(), list->itemText(i));
            }
        }
    }
    return faults;
}

// Rows of "|"-separated cells, one row a line; "\n" in a cell is a line break, "$" stands for substitute.
static void addRows(const char *table, const QString &substitute)
{
    QTest::addColumn<QStringList>("f");
    for (const QString &line : QString::fromUtf8(table).split(u'\n', Qt::SkipEmptyParts)) {
        QStringList f = line.split(u'|');
        for (QString &cell : f)
            cell = cell.trimmed().replace(u'$', substitute).replace("\\n", "\n");
        QTest::newRow(qPrintable(f[0])) << f;
    }
}

static const QString satellites =
    R"(<satellites><satellite name="A" position="192"/><satellite name="B" position="-50"/>
<satellite name="C"/></satellites>)";
static const QString satellite = "<config type=\"satellite\">\n <sid>28006</sid>\n <msys>dvb-s2</msys>\n <symRate>27500"
                                 "</symRate>\n <p>h</p>\n <transponderFreq>11494</transponderFreq>\n <satellite "
                                 "position=\"192\"/>\n</config>\n";

// name | texts read, ";"-separated ("radio" switches mode first) | steps | expected state | reads | changes |
// last text: "=" exactly, "+" containing, "-" lacking
static const char editorCases[] = R"(
analogue tv | | rbAnalog sbAnalogFrequency=175.25 | page=4 | 0 | 2 | =<config type="analog">\n <freq>175250</freq>\n <tvn>b</tvn>\n</config>\n
analogue radio | | radio rbAnalog sbAnalogFrequency=87.5 | page=4 | 0 | 2 | =<config type="analog">\n <freq>87500</freq>\n</config>\n
cable | | rbCable sbCableSID=28721 sbCablelFrequency=346 cmbCableModulation=2 | page=2 | 0 | 4 | =<config type="cable">\n <sid>28721</sid>\n <freq>346000</freq>\n <symRate>6900</symRate>\n <mod>64</mod>\n</config>\n
satellite east | | rbSatellite sbSatelliteSID=28006 rbDVBS2 sbSatelliteSymbolRate=27500 sbSatelliteTransponderFrequency=11494 sbPositionAngle=19.2 | page=1 | 0 | 6 | =$
satellite west | | rbSatellite sbSatelliteSID=28006 rbDVBS2 sbSatelliteSymbolRate=27500 sbSatelliteTransponderFrequency=11494 cmbPositionDir=1 sbPositionAngle=5 | page=1 | 0 | 6 | + <satellite position="-50"/>\n</config>\n
terrestrial | | rbTerrestrial sbTerrestrialSID=16385 sbTerrestrialFrequency=538 | page=3 | 0 | 3 | =<config type="terrestrial">\n <sid>16385</sid>\n <freq>538000</freq>\n</config>\n
no type checked | | sbCableSID=5 | page=0 | 0 | 1 | =<config/>\n
external | <config type="external"/> | sbSatelliteSID=5 dataChanged | rbExternalSource=CD rbSatellite=D rbCable=D rbAnalog=D rbTerrestrial=D page=0 | 1 | 0 | =<config type="external"/>
external then satellite | <config type="external"/>;$ | | rbExternalSource=DH rbSatellite=C rbCable= page=1 sbSatelliteSID=28006 rbDVBS2=C cmbSatellitePolarization=0 sbPositionAngle=19.2 cmbPositionDir=0 | 2 | 0 | =$
unknown type | <config type="cable"><sid>7</sid></config>;<config type="Satellite"><sid>9</sid></config> | sbCableSID=8 | rbCable= rbSatellite= page=0 | 2 | 1 | =<config/>\n
no type | $;<config/> | | rbSatellite= page=0 sbSatelliteSID=0 | 2 | 0 | =<config/>
another service's values | <config type="terrestrial"><sid>26237</sid><freq>159000</freq></config>;<config type="satellite"><sid>45810</sid></config> | rbTerrestrial | sbTerrestrialSID=45810 sbTerrestrialFrequency=50.0 page=3 | 2 | 1 | =<config type="terrestrial">\n <sid>45810</sid>\n <freq>50000</freq>\n</config>\n
cable to analogue | <config type="analog"><freq>175250</freq><tvn>g</tvn></config>;<config type="cable"><sid>3001</sid><freq>474000</freq></config> | rbAnalog | sbAnalogFrequency=474.000 cmbAnalogTvNorm=0 page=4 | 2 | 1 | =<config type="analog">\n <freq>474000</freq>\n <tvn>b</tvn>\n</config>\n
satellite defaults | $;<config type="cable"><freq>474000</freq></config> | rbSatellite | rbDVBS=C cmbPositionDir=0 | 2 | 1 | =<config type="satellite">\n <sid>0</sid>\n <msys>dvb-s</msys>\n <symRate>1000</symRate>\n <p>h</p>\n <transponderFreq>10700</transponderFreq>\n <satellite position="0"/>\n</config>\n
cable defaults | <config type="cable"><sid>9</sid><freq>346000</freq><symRate>6111</symRate><mod>256</mod></config>;<config type="terrestrial"/> | rbCable | sbCableSID=0 sbCablelFrequency=47.0 cmbCableSymbolRate=6900 cmbCableModulation=0 | 2 | 1 | =<config type="cable">\n <sid>0</sid>\n <freq>47000</freq>\n <symRate>6900</symRate>\n <mod>16</mod>\n</config>\n
own values across types | <config type="terrestrial"><sid>7</sid><freq>538000</freq></config> | sbTerrestrialFrequency=600 rbCable rbTerrestrial | sbCableSID=7 sbCablelFrequency=538.0 sbTerrestrialFrequency=600.0 page=3 | 1 | 3 | +<freq>600000</freq>
new service after another | <config type="terrestrial"><sid>26237</sid><freq>159000</freq></config>;<config/> | show noSatellite first | rbTerrestrial=C sbTerrestrialSID=0 sbTerrestrialFrequency=50.0F50.0 | 2 | 1 | =<config type="terrestrial">\n <sid>0</sid>\n <freq>50000</freq>\n</config>\n
satellite values | <config type="satellite"><p> V </p><msys>DVB-S2</msys><transponderFreq>11494.9</transponderFreq><satellite position="-192"/></config> | | cmbSatellitePolarization=1 rbDVBS2=C sbSatelliteTransponderFrequency=11494 sbPositionAngle=19.2 cmbPositionDir=1 | 1 | 0 |
system blank | <config type="satellite"><msys> dvb-s2</msys><satellite position="0"/></config> | | rbDVBS=C rbDVBS2= sbPositionAngle=0.0 cmbPositionDir=0 | 1 | 0 |
mod 64 | <config type="cable"><mod>64</mod></config> | | cmbCableModulation=2 | 1 | 0 |
mod 48 | <config type="cable"><mod>48</mod></config> | sbCableSID=1 | cmbCableModulation=-1 | 1 | 1 | -<mod>
mod QAM64 | <config type="cable"><mod>QAM64</mod></config> | | cmbCableModulation=-1 | 1 | 0 |
no position | <config type="satellite"/> | sbPositionAngle=19.2 | sbPositionAngle=19.2 cmbPositionDir=-1 | 1 | 1 | + <satellite position="-192"/>
cable frequency | <config type="cable"><freq>346125</freq></config> | sbCableSID=3 | sbCablelFrequency=346.1 | 1 | 1 | +<freq>346100</freq>
radio ignores norm | radio;<config type="analog"><freq>87500</freq><tvn>g</tvn></config> | dataChanged | cmbAnalogTvNorm=0 sbAnalogFrequency=87.50 rbAnalog=C page=4 | 1 | 1 | =<config type="analog">\n <freq>87500</freq>\n</config>\n
another form | <config type="terrestrial"><sid>16385</sid><freq>538000</freq></config> | dataChanged dataChanged | page=3 | 1 | 1 | +<sid>16385</sid>
checked type clicked | <config type="terrestrial">\n <sid>16385</sid>\n <freq>538000</freq>\n</config>\n | stackedWidget=0 rbTerrestrial | page=3 | 1 | 0 |
not xml | <config type="cable"><sid>5</sid></config>;<config | | rbCable=C sbCableSID=5 page=2 | 1 | 0 | =<config type="cable"><sid>5</sid></config>
clamped numbers | <config type="satellite"><sid>70000</sid><symRate>1e12</symRate><transponderFreq>nan</transponderFreq><satellite position="inf"/></config> | | sbSatelliteSID=65535 sbSatelliteSymbolRate=45000 sbSatelliteTransponderFrequency=10700 cmbPositionDir=-1 | 1 | 0 |
clamped cable | <config type="cable"><sid>99999999999</sid><freq>1e400</freq></config> | | sbCableSID=65535 sbCablelFrequency=47.0 | 1 | 0 |
infinite cable frequency, fractional id | <config type="cable"><sid>12.7</sid><freq>inf</freq></config> | | sbCableSID=0 sbCablelFrequency=47.0 | 1 | 0 |
infinite terrestrial frequency, exponent id | <config type="terrestrial"><sid>1e3</sid><freq>inf</freq></config> | | sbTerrestrialSID=0 sbTerrestrialFrequency=50.0 | 1 | 0 |
infinite transponder, fractional id | <config type="satellite"><sid>12.7</sid><transponderFreq>inf</transponderFreq><symRate>inf</symRate></config> | | sbSatelliteSID=0 sbSatelliteTransponderFrequency=10700 | 1 | 0 |
exponent satellite id | <config type="satellite"><sid>1e3</sid></config> | | sbSatelliteSID=0 | 1 | 0 |
predefined direction | <config type="satellite"><satellite position="-192"/></config> | btnPositionBySatellite=192 | sbPositionAngle=19.2D cmbPositionDir=0 | 1 | 1 | + <satellite position="192"/>
predefined without position | $ | btnPositionBySatellite= | sbPositionAngle=0.0 cmbPositionDir=-1 | 1 | 1 | + <satellite position="0"/>
cable channel | | rbCable c_freqByChannelToolButton=474000000 | sbCablelFrequency=474.0 | 0 | 2 | +<freq>474000</freq>
new service | | show noSatellite first | rbTerrestrial=C sbTerrestrialFrequency=50.0F50.0 page=3 | 0 | 1 | =<config type="terrestrial">\n <sid>0</sid>\n <freq>50000</freq>\n</config>\n
new service off screen | | noSatellite first | rbSatellite=H rbTerrestrial= page=0 | 0 | 1 | =<config/>\n
typing symbol rate | <config type="cable"><symRate>6900</symRate></config> | show @cmbCableSymbolRate '6500 | page=2 | 1 | 0 |
typed symbol rate entered | <config type="cable"/> | show @cmbCableSymbolRate '6500 enter | page=2 | 1 | 1 | +<symRate>6500</symRate>
typed symbol rate left | <config type="cable"/> | show @cmbCableSymbolRate '6500 @sbCableSID | page=2 | 1 | 1 | +<symRate>6500</symRate>
)";

// name | file | content ("\0" a zero byte, "PAD" 4 MiB of blanks) | entries | enabled
static const char menuCases[] = R"(
nested regions | t.xml | $ | A[a1=1,B[b1=2]],z=3 | 1
empty region | t.xml | <c><region name="R"/></c> | R[] | 1
foreign tags only | t.xml | <c><x><channel name="n" frequency="1"/></x></c> | | 0
capital suffix | t.XML | $ | | 1
zero byte | t.xml | <c><channel name="a" frequency="1"/></c>\0< | a=1 | 1
over 4 MiB | t.xml | $ PAD | | 1
malformed | t.xml | <c><channel name="a" | | 0
)";
static const QString nested = R"(<c><region name="A"><channel name="a1" frequency="1"><toolTip>t</toolTip></channel>
<region name="B"><channel name="b1" frequency="2"/></region></region><x><channel name="no"/></x><channel name="z"
frequency="3"/></c>)";
static const QMap<QString, QString> channelMenu{
    {"menuElementName", "region"}, {"actionElementName", "channel"}, {"label", "@name"}, {"data", "@frequency"}};

class TestTuning : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void editor_data() { addRows(editorCases, satellite); }
    void editor()
    {
        QFETCH(QStringList, f);
        Editor e;
        e.setSatelliteMenu(satellites);
        QSignalSpy selected(&e, &Editor::itemSelected), changed(&e, &Editor::zbXmlChanged);
        for (const QString &text : f[1].split(u';', Qt::SkipEmptyParts))
            text == "radio" ? e.setRadioMode() : e.setDetailedSettingsData(text);
        QCOMPARE(QString::number(selected.count()), f[4]);
        QCOMPARE(changed.count(), 0);
        for (const QList<QVariant> &read : selected)
            QCOMPARE(read.at(0).value<DocItem>().tagName(), QStringLiteral("config"));
        apply(e, f[2]);
        QCOMPARE(probe(e, f[3]), f[3]);
        QCOMPARE(QString::number(changed.count()), f[5]);
        const QString text = e.detailedSettingsData(), &last = f[6];
        QVERIFY(changed.isEmpty() || changed.last().at(0).toString() == text);
        if (last.startsWith(u'='))
            QCOMPARE(text, last.mid(1));
        else if (!last.isEmpty())
            QVERIFY2(text.contains(last.mid(1)) == last.startsWith(u'+'), qPrintable(text));
    }

    void wheelChangesNoField()
    {
        Editor e;
        e.show();
        for (QWidget *field : e.findChildren<QWidget *>()) {
            if (qobject_cast<QComboBox *>(field) || qobject_cast<QAbstractSpinBox *>(field)) {
                const QString before = probe(e, field->objectName());
                QVERIFY(turnWheel(field, 120) && turnWheel(field, -120) && turnWheel(field, -120));
                QCOMPARE(probe(e, field->objectName()), before);
            }
        }
        QVERIFY(!turnWheel(e.rbSatellite, 120)); // a button leaves it to its parents
    }

    void shippedChannelTables()
    {
        Editor e;
        for (auto [button, field] : {std::pair{e.a_freqByChannelToolButton, e.sbAnalogFrequency},
                                     {e.c_freqByChannelToolButton, e.sbCablelFrequency},
                                     {e.t_freqByChannelToolButton, e.sbTerrestrialFrequency}}) {
            const QList<QAction *> channels = entries(button->menu());
            QVERIFY(channels.size() > 30);
            for (QAction *channel : channels) {
                channel->trigger(); // shown unrounded, so inside the field's range and decimals
                QVERIFY(channel->menu() || qRound64(field->value() * 1000000) == channel->data().toLongLong());
            }
        }
    }

    void germanAndPolish()
    {
        Editor e;
        e.show();
        e.setDetailedSettingsData(satellite);
        QSignalSpy changed(&e, &Editor::zbXmlChanged);
        QTranslator translator;
        for (auto [language, type, channel, horizontal] :
             {std::tuple{"de_DE", "Service-Typ", "Frequenz anhand des Sendernamens wählen", "Horizontal"},
              {"pl_PL", "Typ usługi", "Wybierz częstotliwość\nna podstawie nazwy kanału", "Pozioma"}}) {
            QVERIFY(translator.load(QStringLiteral(":/translations/Resources/MUI/%1.qm").arg(language)));
            QCoreApplication::installTranslator(&translator);
            QTRY_COMPARE(e.label_4->text(), QString::fromUtf8(type));
            QCOMPARE(e.c_freqByChannelToolButton->text(), QString::fromUtf8(channel));
            QCOMPARE(e.cmbSatellitePolarization->itemText(0), QString::fromUtf8(horizontal));
            QCoreApplication::removeTranslator(&translator);
        }
        QCOMPARE(changed.count(), 0);
        QCOMPARE(e.detailedSettingsData(), satellite);
    }

    // The list pages give the editor this much beside their tables; every page of it, in every language and
    // in both modes, shows its texts whole within it.
    void pagesFitTheDetailsPanel_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("radio");
        QTest::addColumn<bool>("switched"); // the language is chosen while the editor is on screen
        for (const char *language : {"", "de_DE", "pl_PL"}) {
            QTest::addRow("tv %s", language) << QString::fromLatin1(language) << false << false;
            QTest::addRow("radio %s", language) << QString::fromLatin1(language) << true << false;
        }
        QTest::newRow("switched to de_DE") << QStringLiteral("de_DE") << false << true;
        QTest::newRow("switched to pl_PL") << QStringLiteral("pl_PL") << false << true;
    }
    void pagesFitTheDetailsPanel()
    {
        QFETCH(QString, language);
        QFETCH(bool, radio);
        QFETCH(bool, switched);
        const int panelWidth = 510;
        QFile style(QStringLiteral(":/styles/style"));
        QVERIFY(style.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromUtf8(style.readAll()));
        QTranslator translator;
        if (!language.isEmpty())
            QVERIFY(translator.load(QStringLiteral(":/translations/Resources/MUI/%1.qm").arg(language)));
        if (!switched && !language.isEmpty())
            QCoreApplication::installTranslator(&translator);
        {
            Editor e;
            if (switched) {
                e.show();
                QCoreApplication::installTranslator(&translator);
                QTRY_VERIFY(e.label_4->text() != QLatin1String("Service type"));
            }
            if (radio)
                e.setRadioMode();
            e.setPositionBySatelliteOnly(true);
            e.show();
            QStringList faults;
            for (QRadioButton *type : {e.rbSatellite, e.rbCable, e.rbTerrestrial, e.rbAnalog, e.rbExternalSource}) {
                type->click();
                e.resize(panelWidth, qMax(e.sizeHint().height(), e.minimumSizeHint().height()));
                QCoreApplication::processEvents();
                // The list pages lay the editor out at its size hint.
                if (e.minimumSizeHint().width() > panelWidth || e.sizeHint().width() > panelWidth)
                    faults << QStringLiteral("%1: the editor needs %2 px, asks for %3")
                                  .arg(type->objectName())
                                  .arg(e.minimumSizeHint().width())
                                  .arg(e.sizeHint().width());
                const QStringList cut = cutOff(&e);
                for (const QString &fault : cut)
                    faults << type->objectName() + QStringLiteral(": ") + fault;
            }
            // Whichever types a receiver offers, the rows of their buttons do not widen the editor.
            for (int offered = 1; offered < 32; ++offered) {
                e.setDetailedSettingsData(offered & 16 ? QStringLiteral("<config type=\"external\"/>") : satellite);
                e.setSatelliteVisible(offered & 1);
                e.setTerrestrialVisible(offered & 2);
                e.setCableVisible(offered & 4);
                e.setAnalogVisible(offered & 8);
                e.resize(panelWidth, qMax(e.sizeHint().height(), e.minimumSizeHint().height()));
                QCoreApplication::processEvents();
                if (e.minimumSizeHint().width() > panelWidth || e.sizeHint().width() > panelWidth)
                    faults << QStringLiteral("types %1: the editor needs %2 px, asks for %3")
                                  .arg(offered)
                                  .arg(e.minimumSizeHint().width())
                                  .arg(e.sizeHint().width());
                const QStringList cut = cutOff(&e);
                for (const QString &fault : cut)
                    faults << QStringLiteral("types %1: ").arg(offered) + fault;
            }
            faults.removeDuplicates();
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
        }
        QCoreApplication::removeTranslator(&translator);
        qApp->setStyleSheet(QString());
    }

    void menuFromFile_data() { addRows(menuCases, nested); }
    void menuFromFile()
    {
        QFETCH(QStringList, f);
        QByteArray bytes = f[2].replace("\\0", QChar(0)).toUtf8();
        if (bytes.endsWith(" PAD")) {
            bytes.chop(4);
            bytes.append(XmlMenu::maximumFileSize, ' ');
        }
        QFile file(dir.filePath(f[1]));
        const auto write = [&file](const QByteArray &b) {
            return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(b) == b.size() && file.flush();
        };
        QVERIFY(write(bytes));
        file.close();
        XmlMenu menu(file.fileName(), nullptr, channelMenu);
        QCOMPARE(shape(&menu), QString()); // nothing is read before the menu opens
        for (int opening = 0; opening < 2; ++opening) {
            menu.popup(QPoint());
            menu.hide();
            QCOMPARE(shape(&menu), f[3]);
            QCOMPARE(menu.isEnabled(), f[4] == "1");
            // read once for good: a later change of the file is not seen
            QVERIFY(opening || write(R"(<c><channel name="new" frequency="9"/></c>)"));
            file.close();
        }
    }

    void menuChoiceAndText()
    {
        XmlMenu menu(nullptr, channelMenu);
        menu.setXmlText(nested);
        QSignalSpy chosen(&menu, &XmlMenu::DataChosen);
        for (QAction *action : entries(&menu))
            action->text() == "b1" ? action->trigger() : void(); // two regions deep
        QCOMPARE(chosen, QList<QVariantList>{{QStringLiteral("2")}});
        menu.setXmlText(R"(<c><channel name="n" frequency="9"/></c>)");
        QCOMPARE(shape(&menu), QStringLiteral("A[a1=1,B[b1=2]],z=3,n=9")); // appended unless cleared
        menu.clear();
        menu.setXmlText(R"(<c><channel name="n" frequency="9"/></c>)");
        QCOMPARE(shape(&menu), QStringLiteral("n=9"));
    }
};

OMBRELAY_TEST_MAIN(TestTuning)
#include "tst_tuning.moc"
