#include "widgets/csvtablewidget.h"

#include "ui_csvtablewidget.h"

CsvTableWidget::CsvTableWidget(QWidget *parent)
    : QFrame(parent)
    , m_ui(new Ui_CsvTableWidget)
{
    m_ui->setupUi(this);
}

CsvTableWidget::~CsvTableWidget()
{
    delete m_ui;
}

void CsvTableWidget::setCaption(const QString &caption)
{
    m_ui->lblCaption->setText(caption);
}

void CsvTableWidget::setCsvContent(const QString &content)
{
    m_content = content;
    const QStringList parts = content.split(u';', Qt::KeepEmptyParts, Qt::CaseSensitive);
    QTableWidget *table = m_ui->tblContent;
    table->clearContents();
    // The rows stay as the form made them: parts beyond them are not shown.
    for (int i = 0; i < parts.size() && i < table->rowCount(); ++i) {
        if (!parts.at(i).isEmpty())
            table->setItem(i, 0, new QTableWidgetItem(parts.at(i)));
    }
    table->viewport()->update();
}
