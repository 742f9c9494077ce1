#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QString>

// The XML request of a job: <call methodName="..."><parameters .../></call>. Copies share one tree.
// Building from text that does not parse, or lacks "parameters", throws a QString.
class DeviceCall
{
public:
    explicit DeviceCall(const QString &methodName);
    static DeviceCall fromText(const QString &text);

    void setContent(const QString &text);
    QString methodName() const;
    QString parameter(const QString &name) const;
    bool setParameter(const QString &name, const QString &value);
    QString toString() const;

private:
    DeviceCall() = default;

    QDomDocument doc;
    QDomElement call;
    QDomElement parameters;
};
