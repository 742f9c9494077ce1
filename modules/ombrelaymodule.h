#pragma once

#include <QString>
#include <QWidget>

class DeviceCommunicationManager;
class GeneralUiInterface;
class ZBDeviceInfo;

// Base of every page the main window shows in its module area. A module is built without a Qt parent:
// the parent given to the constructor is only where it finds the main window's page interface; whoever
// shows the module re-parents it.
//
// Error texts reported while the page is hidden are held and the window is told (so it can mark the
// page in the receiver tree); they appear in one error box when the page is shown again.
class OmbrelayModule : public QWidget
{
    Q_OBJECT
public:
    enum ModuleTypes {
        TypeNone = 0,
        TypeTvList = 1,
        TypeRadioList = 2,
        TypeLinkList = 3,
        TypeMediaExplorer = 4,
        TypeDevice = 5, // the receiver's start page
        TypeWelcome = 6,
        TypeNewDevice = 7,
        TypeDeviceProperties = 8,
    };
    Q_ENUM(ModuleTypes)

    explicit OmbrelayModule(QWidget *parent = nullptr);
    ~OmbrelayModule() override;

    virtual ModuleTypes moduleType() const = 0;
    virtual void retranslate() = 0;
    virtual void setCommunicationManager(DeviceCommunicationManager *manager);
    virtual void appendStatusText(const QString &text);
    virtual void startBuffering();
    virtual void onShow();
    virtual void setDeviceInfo(ZBDeviceInfo *info);

    // Whether this page, as it is shown, tells the user of the loss of its receiver's connection just reported
    // to it (a step of its own was cut short by it): the window then adds no message of its own.
    virtual bool tellsOfLostConnection() const { return false; }

    ZBDeviceInfo *deviceInfo() const { return m_deviceInfo; }
    DeviceCommunicationManager *communicationManager() const { return m_communicationManager; }
    GeneralUiInterface *pageInterface() const { return m_pageInterface; }
    bool isBuffering() const { return m_buffering; }
    QString statusText() const { return m_statusText; }
    void clearStatusText();

    // The translated display name of a module type; empty for types without one.
    static QString moduleTypeName(int type);

public slots:
    // "connecting", "connected", "disconnecting" or "disconnected".
    virtual void onDeviceStateChange(const QString &state);

private:
    void showHeldTexts();

    bool m_buffering = true;
    QString m_statusText;
    ZBDeviceInfo *m_deviceInfo = nullptr;
    DeviceCommunicationManager *m_communicationManager = nullptr;
    GeneralUiInterface *m_pageInterface = nullptr;
};
