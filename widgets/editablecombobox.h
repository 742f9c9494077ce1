#pragma once

#include <QComboBox>
#include <QPointer>
#include <QSortFilterProxyModel>

// A combo box over one column of a source model, optionally sorted without case through its own
// proxy. Entries are addressed by source row, by text, by item id and by data value, and the
// chosen entry is reported as an index of the source model.
class EditableComboBox : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(QString cbText READ cbText WRITE setCbText)
    Q_PROPERTY(int currentModelIndex READ currentModelIndex WRITE setModelIndexRow)
    Q_PROPERTY(QString currentText READ currentText WRITE setCurrentText)
    Q_PROPERTY(QString itemId READ itemId WRITE setItemId)
    Q_PROPERTY(QString indexByData READ indexByData WRITE setIndexByData)
    Q_PROPERTY(bool editable READ isEditable WRITE setEditable)

public:
    explicit EditableComboBox(QWidget *parent = nullptr);

    // Completion stays case-sensitive also when the combo becomes editable later.
    void setEditable(bool editable);
    void setSourceModel(QAbstractItemModel *model, bool sorted);
    QAbstractItemModel *sourceModel() const { return m_sourceModel; }
    void setModelColumn(int column);
    void setWheelDisabled(bool disabled);
    void setImmediateSendBlocked(bool blocked);
    void setKeypadEnterIgnored(bool ignored) { keypadEnterIgnored = ignored; }
    bool isKeypadEnterIgnored() const { return keypadEnterIgnored; }
    bool isImmediateSendBlocked() const { return !m_immediateConnection; }

    QString cbText() const;
    void setCbText(const QString &text);
    int currentModelIndex() const;
    QString currentText() const;
    void setCurrentText(const QString &text);
    QString itemId() const;
    void setItemId(const QString &id);
    QString indexByData() const;
    void setIndexByData(const QString &value);

public slots:
    void setModelIndexRow(int row);
    void immediateSend(int index);

signals:
    void currentIndexChanged(const QModelIndex &index);
    void currentIndexRowChanged(int row);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void selectByDisplayText(const QString &text);
    QModelIndex sourceIndexOfRow(int comboRow) const;

    bool wheelEnabled = true;
    QPointer<QAbstractItemModel> m_sourceModel;
    bool sortedThroughProxy = false;
    bool keypadEnterIgnored = false;
    int dataRole = Qt::EditRole;
    QSortFilterProxyModel m_proxy;
    QMetaObject::Connection m_immediateConnection;
};
