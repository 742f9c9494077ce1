#pragma once

#include "device/core/devicetask.h"

// A receiver folder listing of the media explorer's tree: it also reports why a listing failed, which a
// plain task keeps to itself.
class FolderListingTask : public DeviceTask
{
    Q_OBJECT
public:
    FolderListingTask(QObject *owner, const QString &request);

signals:
    void Failed(const QString &message);

public slots:
    void onError(QString message) override;
};
