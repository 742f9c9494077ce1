#pragma once

#include <QFrame>

class Ui_CsvTableWidget;

// A captioned, read-only list showing a ";"-separated value one part per row.
class CsvTableWidget : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(QString CsvContent READ csvContent WRITE setCsvContent USER true)

public:
    explicit CsvTableWidget(QWidget *parent = nullptr);
    ~CsvTableWidget() override;

    void setCaption(const QString &caption);
    QString csvContent() const { return m_content; }
    void setCsvContent(const QString &content);

private:
    QString m_content;
    Ui_CsvTableWidget *m_ui;
};
