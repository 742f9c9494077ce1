#include "media/folderlistingtask.h"

FolderListingTask::FolderListingTask(QObject *owner, const QString &request)
    : DeviceTask(owner, request)
{}

void FolderListingTask::onError(QString message)
{
    emit Failed(message);
}
