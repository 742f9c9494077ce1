#pragma once

#include <QFileSystemModel>

#include <memory>

// The PC side of the media explorer: every drive at the top, PC items dragged as "text/uri-list",
// drops reported to the page (which decides what to copy). Files get their type and icon from the
// suffix of their name alone.
class PcFileSystemModel : public QFileSystemModel
{
    Q_OBJECT
public:
    explicit PcFileSystemModel(QObject *parent = nullptr);
    ~PcFileSystemModel() override;

    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

signals:
    void mimeDataDropped(const QString &destinationDir, const QString &fileUris);
    void mimeDeviceDataDropped(const QString &destinationDir, const QString &fileUris);

private:
    class SuffixIconProvider;
    std::unique_ptr<SuffixIconProvider> suffixIcons;
};
