#include "tuning/tvadvancedsettingsitemdelegatewidget.h"

#include "document/exception.h"
#include "document/xmldocument.h"
#include "tuning/xmlmenu.h"
#include "widgets/autofixupintvalidator.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <cmath>
#include <vector>

namespace {

// A number from a "config" text or from menu data; what is not a finite number counts as 0.
double readNumber(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

// A decimal integer such as a service id: a fraction or an exponent does not read, and counts as 0.
double readInteger(const QString &text)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    return ok ? double(value) : 0.0;
}

// Bounded while still a double: converting a double outside int's range is undefined.
void setNumber(QSpinBox *box, double value)
{
    box->setValue(int(std::trunc(qBound(double(box->minimum()), value, double(box->maximum())))));
}

void setNumber(QDoubleSpinBox *box, double value)
{
    box->setValue(qBound(box->minimum(), value, box->maximum()));
}

// At most six significant digits, shortest form; adding 0.0 turns a negative zero into "0".
QString sixDigits(double value)
{
    return QString::number(value + 0.0, 'g', 6);
}

const QString configTag = QStringLiteral("config");

} // namespace

TvAdvancedSettingsItemDelegateWidget::TvAdvancedSettingsItemDelegateWidget(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    connect(btnPositionBySatellite, &QToolButton::pressed, this,
            &TvAdvancedSettingsItemDelegateWidget::predefinedSatellitesButtonClicked);
    cmbCableSymbolRate->setValidator(new AutoFixUpIntValidator(1500, 7200, this));

    auto *satellites = new XmlMenu(this, {{QStringLiteral("menuElementName"), QStringLiteral("region")},
                                          {QStringLiteral("actionElementName"), QStringLiteral("satellite")},
                                          {QStringLiteral("label"), QStringLiteral("@name")},
                                          {QStringLiteral("data"), QStringLiteral("@position")}});
    btnPositionBySatellite->setMenu(satellites);
    connect(satellites, &XmlMenu::DataChosen, this, &TvAdvancedSettingsItemDelegateWidget::onPredefSatellite);

    const QMap<QString, QString> channelProperties{{QStringLiteral("menuElementName"), QStringLiteral("region")},
                                                   {QStringLiteral("actionElementName"), QStringLiteral("channel")},
                                                   {QStringLiteral("label"), QStringLiteral("@name")},
                                                   {QStringLiteral("data"), QStringLiteral("@frequency")}};
    using Slot = void (TvAdvancedSettingsItemDelegateWidget::*)(const QString &);
    const struct
    {
        const char *file;
        Slot slot;
        QToolButton *button;
    } channelMenus[] = {
        {"/PredefinedAnalogChannels.xml", &TvAdvancedSettingsItemDelegateWidget::onPredefAnalogChannel,
         a_freqByChannelToolButton},
        {"/PredefinedCableChannels.xml", &TvAdvancedSettingsItemDelegateWidget::onPredefCableChannel,
         c_freqByChannelToolButton},
        {"/PredefinedTerrestrialChannels.xml", &TvAdvancedSettingsItemDelegateWidget::onPredefTerrestrialChannel,
         t_freqByChannelToolButton},
    };
    for (const auto &channels : channelMenus) {
        auto *menu =
            new XmlMenu(QCoreApplication::applicationDirPath() + QLatin1String(channels.file), this, channelProperties);
        connect(menu, &XmlMenu::DataChosen, this, channels.slot);
        channels.button->setMenu(menu);
    }

    for (int i = 0; i < cmbAnalogTvNorm->count(); ++i)
        tvNormMap.insert(cmbAnalogTvNorm->itemText(i).toLower(), i);
    polarisationMap.insert(QStringLiteral("h"), 0);
    polarisationMap.insert(QStringLiteral("v"), 1);
    for (int i = 0; i < cmbCableModulation->count(); ++i)
        modulationMap.insert(1 << (i + 4), i);

    wireEditors(this, this, 3);
    // A typed symbol rate changes no entry of the list; report it when typing ends, as the spin boxes do,
    // so it is not lost when the user moves on to another service.
    connect(cmbCableSymbolRate->lineEdit(), &QLineEdit::editingFinished, this,
            &TvAdvancedSettingsItemDelegateWidget::dataChanged);
    setFocusPolicy(Qt::StrongFocus);
    stackedWidget->setCurrentIndex(0);
    label_4->setMinimumHeight(rbSatellite->sizeHint().height()); // level with the first row of types
    placeTunerTypes();
}

TvAdvancedSettingsItemDelegateWidget::~TvAdvancedSettingsItemDelegateWidget()
{
    // A field that loses the focus while the children go reports its last typing; by then this part of
    // the editor is gone.
    for (QObject *child : findChildren<QObject *>())
        disconnect(child, nullptr, this, nullptr);
}

void TvAdvancedSettingsItemDelegateWidget::setSatelliteVisible(bool visible)
{
    rbSatellite->setVisible(visible);
    placeTunerTypes();
}

void TvAdvancedSettingsItemDelegateWidget::setTerrestrialVisible(bool visible)
{
    rbTerrestrial->setVisible(visible);
    placeTunerTypes();
}

void TvAdvancedSettingsItemDelegateWidget::setCableVisible(bool visible)
{
    rbCable->setVisible(visible);
    placeTunerTypes();
}

void TvAdvancedSettingsItemDelegateWidget::setAnalogVisible(bool visible)
{
    rbAnalog->setVisible(visible);
    placeTunerTypes();
}

void TvAdvancedSettingsItemDelegateWidget::placeTunerTypes()
{
    // The names of all five types do not fit one row in every language. The shown ones fill rows in order,
    // with as many columns as keep the rows no wider than the widest page below them: the editor never
    // grows for them, and a receiver without some types leaves no gaps.
    QRadioButton *const types[] = {rbSatellite, rbTerrestrial, rbCable, rbAnalog, rbExternalSource};
    QList<QRadioButton *> shown;
    for (QRadioButton *type : types) {
        if (!type->isHidden())
            shown << type;
    }
    const int gap = qMax(0, tunerTypesLayout->horizontalSpacing());
    const int room =
        stackedWidget->minimumSizeHint().width() - label_4->sizeHint().width() - qMax(0, horizontalLayout->spacing());
    int columns = qMax(1, int(shown.size()));
    for (; columns > 1; --columns) {
        int width = (columns - 1) * gap;
        for (int column = 0; column < columns; ++column) {
            int widest = 0;
            for (int i = column; i < shown.size(); i += columns)
                widest = qMax(widest, shown.at(i)->sizeHint().width());
            width += widest;
        }
        if (width <= room)
            break;
    }
    int hidden = 0;
    for (QRadioButton *button : types) {
        const int i = shown.indexOf(button);
        const int row = i < 0 ? 5 + hidden++ : i / columns, column = i < 0 ? 0 : i % columns; // hidden: no room
        int atRow = -1, atColumn = -1, rowSpan = 0, columnSpan = 0;
        const int index = tunerTypesLayout->indexOf(button);
        if (index >= 0)
            tunerTypesLayout->getItemPosition(index, &atRow, &atColumn, &rowSpan, &columnSpan);
        if (atRow == row && atColumn == column)
            continue; // moving a button relays out the editor: only when its place changes
        tunerTypesLayout->removeWidget(button);
        tunerTypesLayout->addWidget(button, row, column);
    }
}

void TvAdvancedSettingsItemDelegateWidget::setSatelliteMenu(const QString &satellitesXml)
{
    auto *menu = qobject_cast<XmlMenu *>(btnPositionBySatellite->menu());
    if (!menu)
        return;
    menu->clear();
    menu->setXmlText(satellitesXml);
}

void TvAdvancedSettingsItemDelegateWidget::setPositionBySatelliteOnly(bool only)
{
    btnPositionBySatellite->setVisible(only);
    sbPositionAngle->setEnabled(!only);
    cmbPositionDir->setEnabled(!only);
}

void TvAdvancedSettingsItemDelegateWidget::focusFirstEditor()
{
    const struct
    {
        QRadioButton *button;
        QAbstractSpinBox *field;
    } firstFields[] = {{rbSatellite, sbSatelliteSID},
                       {rbTerrestrial, sbTerrestrialFrequency},
                       {rbCable, sbCablelFrequency},
                       {rbAnalog, sbAnalogFrequency}};
    for (const auto &first : firstFields) {
        if (!first.button->isVisible())
            continue;
        first.button->setChecked(true);
        updatePage(); // a field on a hidden page takes no focus
        first.field->setFocus(Qt::OtherFocusReason);
        first.field->selectAll();
        break;
    }
    // Checking by program emits no clicked(): this writes the new service's first element.
    dataChanged();
}

void TvAdvancedSettingsItemDelegateWidget::setRadioMode()
{
    cmbAnalogTvNorm->hide();
    a_tvNormLabel->hide();
    a_freqByChannelToolButton->hide();
    sbAnalogFrequency->setDecimals(2);
    serviceKind = QStringLiteral("radio");
}

QString TvAdvancedSettingsItemDelegateWidget::detailedSettingsData() const
{
    return configText;
}

void TvAdvancedSettingsItemDelegateWidget::setDetailedSettingsData(const QString &text)
{
    XmlDocument document;
    try {
        document = XmlDocument(text);
    } catch (const Exception &) {
        return; // not a tuning element: the editor keeps showing what it showed
    }
    readConfig(document.root);
    placeTunerTypes();
    updatePage();
    configText = text;
    emit itemSelected(document.root);
}

void TvAdvancedSettingsItemDelegateWidget::startFromDefaults(const DocItem &config)
{
    // The fields of every type start from that type's defaults, so a type the user switches to never shows,
    // and writes, what another service left there. The read is no change of the user's: nothing reports.
    const QList<QWidget *> fields = findChildren<QWidget *>();
    std::vector<QSignalBlocker> quiet;
    quiet.reserve(fields.size());
    for (QWidget *field : fields) {
        if (qobject_cast<QAbstractSpinBox *>(field) || qobject_cast<QComboBox *>(field) ||
            qobject_cast<QAbstractButton *>(field))
            quiet.emplace_back(field);
    }
    using SpinBoxes = std::initializer_list<QSpinBox *>;
    using DoubleSpinBoxes = std::initializer_list<QDoubleSpinBox *>;
    for (QSpinBox *box : SpinBoxes{sbSatelliteSID, sbSatelliteTransponderFrequency, sbSatelliteSymbolRate, sbCableSID,
                                   sbTerrestrialSID})
        box->setValue(box->minimum());
    for (QDoubleSpinBox *box :
         DoubleSpinBoxes{sbPositionAngle, sbCablelFrequency, sbTerrestrialFrequency, sbAnalogFrequency})
        box->setValue(box->minimum());
    for (QComboBox *list : std::initializer_list<QComboBox *>{cmbSatellitePolarization, cmbPositionDir,
                                                              cmbCableSymbolRate, cmbCableModulation, cmbAnalogTvNorm})
        list->setCurrentIndex(0);
    cmbCableSymbolRate->setEditText(cmbCableSymbolRate->itemText(0)); // typed text is no entry
    rbDVBS->setChecked(true);

    // A service's id and centre frequency are its own whatever its type: where its element holds them and
    // another type's field can take them, they stand in for that type's defaults.
    bool ok = false;
    const qlonglong sid = config.value(QStringLiteral("sid")).trimmed().toLongLong(&ok, 10);
    for (QSpinBox *box : SpinBoxes{sbSatelliteSID, sbCableSID, sbTerrestrialSID}) {
        if (ok && sid >= box->minimum() && sid <= box->maximum())
            box->setValue(int(sid));
    }
    const double frequency = config.value(QStringLiteral("freq")).trimmed().toDouble(&ok) / 1000;
    for (QDoubleSpinBox *box : DoubleSpinBoxes{sbCablelFrequency, sbTerrestrialFrequency, sbAnalogFrequency}) {
        if (ok && frequency >= box->minimum() && frequency <= box->maximum())
            box->setValue(frequency);
    }
}

void TvAdvancedSettingsItemDelegateWidget::readConfig(const DocItem &config)
{
    const QString type = config.value(QStringLiteral("@type"));
    startFromDefaults(config);
    for (QRadioButton *button : {rbAnalog, rbCable, rbSatellite, rbTerrestrial})
        button->setEnabled(true);
    rbExternalSource->hide();

    if (type == QLatin1String("analog")) {
        const QSignalBlocker b1(rbAnalog), b2(sbAnalogFrequency), b3(cmbAnalogTvNorm);
        setNumber(sbAnalogFrequency, readNumber(config.value(QStringLiteral("freq")).trimmed()) / 1000);
        if (serviceKind != QLatin1String("radio"))
            cmbAnalogTvNorm->setCurrentIndex(
                tvNormMap.value(config.value(QStringLiteral("tvn")).trimmed().toLower(), -1));
        rbAnalog->setChecked(true);
    } else if (type == QLatin1String("cable")) {
        rbCable->setChecked(true);
        const QSignalBlocker b1(rbCable), b2(sbCableSID), b3(sbCablelFrequency), b4(cmbCableSymbolRate),
            b5(cmbCableModulation);
        setNumber(sbCableSID, readInteger(config.value(QStringLiteral("sid")).trimmed()));
        setNumber(sbCablelFrequency, readNumber(config.value(QStringLiteral("freq")).trimmed()) / 1000);
        cmbCableSymbolRate->setEditText(config.value(QStringLiteral("symRate")));
        bool ok = false;
        const int order = config.value(QStringLiteral("mod")).toInt(&ok, 10);
        cmbCableModulation->setCurrentIndex(ok && order >= 0 ? modulationMap.value(order, -1) : -1);
    } else if (type == QLatin1String("satellite")) {
        const QSignalBlocker b1(rbSatellite), b2(sbSatelliteSID), b3(sbSatelliteTransponderFrequency),
            b4(sbSatelliteSymbolRate), b5(cmbSatellitePolarization), b6(rbDVBS), b7(rbDVBS2), b8(cmbPositionDir),
            b9(sbPositionAngle);
        rbSatellite->setChecked(true);
        setNumber(sbSatelliteSID, readInteger(config.value(QStringLiteral("sid")).trimmed()));
        setNumber(sbSatelliteTransponderFrequency,
                  readNumber(config.value(QStringLiteral("transponderFreq")).trimmed()));
        setNumber(sbSatelliteSymbolRate, readNumber(config.value(QStringLiteral("symRate"))));
        cmbSatellitePolarization->setCurrentIndex(
            polarisationMap.value(config.value(QStringLiteral("p")).trimmed().toLower(), -1));
        const QString system = config.value(QStringLiteral("msys")).toLower();
        if (system == QLatin1String("dvb-s"))
            rbDVBS->setChecked(true);
        else if (system == QLatin1String("dvb-s2"))
            rbDVBS2->setChecked(true);
        showPosition(DocItem(config.childElement(QStringLiteral("satellite"), 0)).value(QStringLiteral("@position")));
    } else if (type == QLatin1String("terrestrial")) {
        const QSignalBlocker b1(rbTerrestrial), b2(sbTerrestrialSID), b3(sbTerrestrialFrequency);
        rbTerrestrial->setChecked(true);
        setNumber(sbTerrestrialSID, readInteger(config.value(QStringLiteral("sid")).trimmed()));
        setNumber(sbTerrestrialFrequency, readNumber(config.value(QStringLiteral("freq")).trimmed()) / 1000);
    } else if (type == QLatin1String("external")) {
        // The user cannot change the type of such a service.
        for (QRadioButton *button : {rbAnalog, rbCable})
            button->setEnabled(false);
        rbExternalSource->show();
        rbExternalSource->setChecked(true);
        rbExternalSource->setEnabled(false);
        for (QRadioButton *button : {rbSatellite, rbTerrestrial})
            button->setEnabled(false);
        stackedWidget->setCurrentIndex(0);
    } else {
        // An unknown type leaves nothing checked, so the next change cannot write the previous
        // service's tuning into this one. An exclusive group never lets its last button go.
        buttonGroup_2->setExclusive(false);
        for (QAbstractButton *button : buttonGroup_2->buttons())
            button->setChecked(false);
        buttonGroup_2->setExclusive(true);
    }
}

// Selects the direction, then the angle, from a position in tenths of a degree (West negative);
// returns whether the text held a number.
bool TvAdvancedSettingsItemDelegateWidget::showPosition(const QString &position)
{
    bool ok = false;
    const double tenths = position.toDouble(&ok);
    if (!ok || !std::isfinite(tenths)) {
        cmbPositionDir->setCurrentIndex(-1);
        sbPositionAngle->setValue(0.0);
        return false;
    }
    const double angle = tenths / 10;
    cmbPositionDir->setCurrentIndex(angle < 0 ? 1 : 0);
    setNumber(sbPositionAngle, std::abs(angle));
    return true;
}

XmlDocument TvAdvancedSettingsItemDelegateWidget::buildConfig() const
{
    XmlDocument document = XmlDocument::withRoot(configTag);
    DocItem config = document.root;
    if (rbAnalog->isChecked()) {
        config.setValue(QStringLiteral("@type"), QStringLiteral("analog"), 2);
        config.setValue(QStringLiteral("freq"), sixDigits(sbAnalogFrequency->value() * 1000), 2);
        if (serviceKind != QLatin1String("radio"))
            config.setValue(QStringLiteral("tvn"), cmbAnalogTvNorm->currentText().toLower(), 2);
    }
    if (rbCable->isChecked()) {
        config.setValue(QStringLiteral("@type"), QStringLiteral("cable"), 2);
        config.setValue(QStringLiteral("sid"), sbCableSID->value(), 2);
        config.setValue(QStringLiteral("freq"), sixDigits(sbCablelFrequency->value() * 1000), 2);
        config.setValue(QStringLiteral("symRate"), cmbCableSymbolRate->currentText(), 2);
        if (cmbCableModulation->currentIndex() >= 0)
            config.setValue(QStringLiteral("mod"), 1 << (cmbCableModulation->currentIndex() + 4), 2);
    }
    if (rbSatellite->isChecked()) {
        config.setValue(QStringLiteral("@type"), QStringLiteral("satellite"), 2);
        config.setValue(QStringLiteral("sid"), sbSatelliteSID->value(), 2);
        if (rbDVBS->isChecked())
            config.setValue(QStringLiteral("msys"), QStringLiteral("dvb-s"), 2);
        else if (rbDVBS2->isChecked())
            config.setValue(QStringLiteral("msys"), QStringLiteral("dvb-s2"), 2);
        config.setValue(QStringLiteral("symRate"), sbSatelliteSymbolRate->value(), 2);
        config.setValue(QStringLiteral("p"), polarisationMap.key(cmbSatellitePolarization->currentIndex()), 2);
        config.setValue(QStringLiteral("transponderFreq"), sbSatelliteTransponderFrequency->value(), 2);
        DocItem satellite = config.removeChildren(QStringLiteral("satellite"));
        const double sign = cmbPositionDir->currentIndex() == 0 ? 10 : -10;
        satellite.setValue(QStringLiteral("@position"), sixDigits(sbPositionAngle->value() * sign), 2);
    }
    if (rbTerrestrial->isChecked()) {
        config.setValue(QStringLiteral("@type"), QStringLiteral("terrestrial"), 2);
        config.setValue(QStringLiteral("sid"), sbTerrestrialSID->value(), 2);
        config.setValue(QStringLiteral("freq"), sixDigits(sbTerrestrialFrequency->value() * 1000), 2);
    }
    return document;
}

void TvAdvancedSettingsItemDelegateWidget::dataChanged()
{
    // An external source has no fields here: rebuilding would drop the stored element's content.
    if (rbExternalSource->isChecked()) {
        updatePage();
        return;
    }
    const QString text = buildConfig().toString();
    if (text == configText) {
        updatePage();
        return;
    }
    configText = text;
    updatePage();
    emit zbXmlChanged(text);
}

void TvAdvancedSettingsItemDelegateWidget::updatePage()
{
    int page = 0;
    if (rbSatellite->isChecked())
        page = 1;
    else if (rbCable->isChecked())
        page = 2;
    else if (rbTerrestrial->isChecked())
        page = 3;
    else if (rbAnalog->isChecked())
        page = 4;
    stackedWidget->setCurrentIndex(page);
}

void TvAdvancedSettingsItemDelegateWidget::onPredefSatellite(const QString &pos)
{
    bool read = false;
    {
        const QSignalBlocker blocker(cmbPositionDir);
        read = showPosition(pos);
    }
    sbPositionAngle->setEnabled(!read);
    cmbPositionDir->setEnabled(!read);
    // The angle reports nothing when only the direction differs.
    dataChanged();
}

void TvAdvancedSettingsItemDelegateWidget::onPredefAnalogChannel(const QString &data)
{
    setNumber(sbAnalogFrequency, readNumber(data) / 1000000);
}

void TvAdvancedSettingsItemDelegateWidget::onPredefCableChannel(const QString &data)
{
    setNumber(sbCablelFrequency, readNumber(data) / 1000000);
}

void TvAdvancedSettingsItemDelegateWidget::onPredefTerrestrialChannel(const QString &data)
{
    setNumber(sbTerrestrialFrequency, readNumber(data) / 1000000);
}

void TvAdvancedSettingsItemDelegateWidget::wireEditors(QObject *receiver, QObject *parent, int depth)
{
    auto *editor = qobject_cast<TvAdvancedSettingsItemDelegateWidget *>(receiver);
    if (!editor || depth < 0)
        return;
    if (qobject_cast<QComboBox *>(parent) || qobject_cast<QAbstractSpinBox *>(parent) ||
        qobject_cast<QLineEdit *>(parent) || qobject_cast<QAbstractButton *>(parent))
        return; // fields are never searched inside
    const auto changed = &TvAdvancedSettingsItemDelegateWidget::dataChanged;
    for (QObject *child : parent->children()) {
        if (child->objectName().isEmpty())
            continue;
        if (auto *combo = qobject_cast<QComboBox *>(child)) {
            connect(combo, qOverload<int>(&QComboBox::currentIndexChanged), editor, changed);
            combo->installEventFilter(editor);
        } else if (auto *spin = qobject_cast<QSpinBox *>(child)) {
            connect(spin, &QSpinBox::valueChanged, editor, changed);
            spin->installEventFilter(editor);
        } else if (auto *doubleSpin = qobject_cast<QDoubleSpinBox *>(child)) {
            connect(doubleSpin, &QDoubleSpinBox::valueChanged, editor, changed);
            doubleSpin->installEventFilter(editor);
        } else if (auto *line = qobject_cast<QLineEdit *>(child)) {
            connect(line, &QLineEdit::textChanged, editor, changed);
        } else if (auto *button = qobject_cast<QAbstractButton *>(child)) {
            connect(button, &QAbstractButton::clicked, editor, changed, Qt::UniqueConnection);
        } else {
            wireEditors(receiver, child, depth - 1);
        }
    }
}

bool TvAdvancedSettingsItemDelegateWidget::eventFilter(QObject *watched, QEvent *event)
{
    // Scrolling over the editor must not change a service's tuning by accident.
    if (event->type() == QEvent::Wheel)
        return true;
    return QWidget::eventFilter(watched, event);
}

void TvAdvancedSettingsItemDelegateWidget::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Qt 6's uic relabels list entries in place, so the shown choices and the stored text stay as they are.
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi(this);
        placeTunerTypes(); // other names, other widths
    }
}
