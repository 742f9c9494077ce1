#include "widgets/messageboxcheckable.h"

#include "ui_messageboxcheckable.h"
#include "widgets/messagebox.h"

#include <QPushButton>

MessageBoxCheckable::MessageBoxCheckable(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::MessageBoxCheckable)
{
    ui->setupUi(this);
    connect(this, &QDialog::accepted, this, &MessageBoxCheckable::onAccepted);
    connect(this, &QDialog::rejected, this, &MessageBoxCheckable::onAccepted);
}

MessageBoxCheckable::~MessageBoxCheckable()
{
    delete ui;
}

int MessageBoxCheckable::exec(const QString &text, const QString &checkBoxText, Settings::setingKey key)
{
    ui->lblMessage->setText(text);
    ui->cbQuestion->setText(checkBoxText);

    auto *yes = new QPushButton(QCoreApplication::translate("MessageBox", "&Yes"), ui->buttonBox);
    auto *no = new QPushButton(QCoreApplication::translate("MessageBox", "&No"), ui->buttonBox);
    ui->buttonBox->addButton(yes, QDialogButtonBox::AcceptRole);
    ui->buttonBox->addButton(no, QDialogButtonBox::RejectRole);
    no->setDefault(true);

    m_key = key;
    ui->cbQuestion->setChecked(Settings::getString(key, QStringLiteral("0")) == QLatin1String("1"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);

    const int result = MessageBox::execDialog(this);

    ui->buttonBox->removeButton(yes);
    ui->buttonBox->removeButton(no);
    delete yes;
    delete no;
    return result;
}

void MessageBoxCheckable::onAccepted()
{
    // A choice not to be asked again that could not be stored would be asked again next time: say so.
    if (ui->cbQuestion->isChecked() && !Settings::setString(m_key, QStringLiteral("1")))
        MessageBox::warning(parentWidget(), Settings::writeFailureText());
}
