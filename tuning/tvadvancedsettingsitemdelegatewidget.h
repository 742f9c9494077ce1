#pragma once

#include "document/docitem.h"
#include "ui_tvadvancedsettingsitemdelegatewidget.h"

#include <QMap>
#include <QWidget>

class XmlDocument;

// The editor of one service's tuning: its reception type and that type's values. The list editors bind
// DetailedSettingsData to the entry's "config" element; every change of a field rebuilds the element
// and reports it through zbXmlChanged when its text differs from the one held.
class TvAdvancedSettingsItemDelegateWidget : public QWidget, public Ui_TvAdvancedSettingsItemDelegateWidget
{
    Q_OBJECT
    Q_PROPERTY(QString DetailedSettingsData READ detailedSettingsData WRITE setDetailedSettingsData NOTIFY zbXmlChanged
                   DESIGNABLE true SCRIPTABLE true STORED true USER true)

public:
    explicit TvAdvancedSettingsItemDelegateWidget(QWidget *parent = nullptr);
    ~TvAdvancedSettingsItemDelegateWidget() override;

    void setSatelliteVisible(bool visible);
    void setTerrestrialVisible(bool visible);
    void setCableVisible(bool visible);
    void setAnalogVisible(bool visible);
    void setSatelliteMenu(const QString &satellitesXml);
    void setPositionBySatelliteOnly(bool only);
    // A new service: checks the first tuner type shown on screen and focuses its first field.
    void focusFirstEditor();
    // For good: no TV norm, no channel menu, two decimals for the frequency.
    void setRadioMode();

    void setDetailedSettingsData(const QString &text);
    QString detailedSettingsData() const;

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void zbXmlChanged(const QString &text);
    void itemSelected(const DocItem &item);
    void predefinedSatellitesButtonClicked();

public slots:
    void dataChanged();

private slots:
    void onPredefSatellite(const QString &pos);
    void onPredefAnalogChannel(const QString &data);
    void onPredefCableChannel(const QString &data);
    void onPredefTerrestrialChannel(const QString &data);

protected:
    void changeEvent(QEvent *event) override;

private:
    void updatePage();
    void placeTunerTypes();
    void wireEditors(QObject *receiver, QObject *parent, int depth);
    XmlDocument buildConfig() const;
    void readConfig(const DocItem &config);
    void startFromDefaults(const DocItem &config);
    bool showPosition(const QString &position);

    QString configText;
    QString serviceKind = QStringLiteral("tv");
    QMap<QString, int> tvNormMap;
    QMap<int, int> modulationMap;
    QMap<QString, int> polarisationMap;
};
