#pragma once

#include "media/zbdevicefilesystemmodel.h"

#include <QModelIndexList>
#include <QTest>

// The receiver tree of a media page test as the user opens it: a folder listed, its rows.
namespace ReceiverTree {

// The folder at index listed (fetched when it was not yet) once it holds count rows; invalid otherwise.
inline QModelIndex listed(ZBDeviceFileSystemModel *model, const QModelIndex &folder, int count)
{
    if (folder.isValid() && model->canFetchMore(folder))
        model->fetchMore(folder);
    if (!QTest::qWaitFor([&] { return !model->isFetching() && model->rowCount(folder) == count; }))
        return {};
    return folder;
}

inline QModelIndexList children(ZBDeviceFileSystemModel *model, const QModelIndex &folder)
{
    QModelIndexList rows;
    for (int i = 0; i < model->rowCount(folder); ++i)
        rows << model->index(i, 0, folder);
    return rows;
}

// The row named name in folder, or an invalid index.
inline QModelIndex child(ZBDeviceFileSystemModel *model, const QModelIndex &folder, const QString &name)
{
    for (const QModelIndex &row : children(model, folder))
        if (row.data().toString() == name)
            return row;
    return {};
}

// The row at path ("hdd/Movies"), each level listed as needed; an invalid index when a level is empty or lacks it.
inline QModelIndex at(ZBDeviceFileSystemModel *model, const QString &path)
{
    QModelIndex row;
    for (const QString &name : path.split(u'/')) {
        if (model->canFetchMore(row))
            model->fetchMore(row);
        if (!QTest::qWaitFor([&] { return !model->isFetching() && model->rowCount(row) > 0; }))
            return {};
        row = child(model, row, name);
    }
    return row;
}

} // namespace ReceiverTree
