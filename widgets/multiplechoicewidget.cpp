#include "widgets/multiplechoicewidget.h"

#include "ui_multiplechoicewidget.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

MultipleChoiceWidget::MultipleChoiceWidget(QWidget *parent, bool disableNew)
    : QWidget(parent)
    , m_ui(new Ui::MultipleChoiceWidget)
    , m_validator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^;]*")), this))
{
    m_ui->setupUi(this);
    listView = m_ui->listView;
    newValueLineEdit = m_ui->newValueLineEdit;
    addButton = m_ui->addButton;
    listView->horizontalHeader()->hide();
    listView->horizontalHeader()->setStretchLastSection(true);
    listView->setUseSortFilterProxy(false);
    connect(addButton, &QPushButton::clicked, this, &MultipleChoiceWidget::append, Qt::UniqueConnection);
    connect(newValueLineEdit, &QLineEdit::returnPressed, this, &MultipleChoiceWidget::append, Qt::UniqueConnection);
    listView->setDragDropMode(QAbstractItemView::NoDragDrop);
    listView->setContextMenuEnabled(false);
    // A new choice can never hold the separator.
    newValueLineEdit->setValidator(m_validator);
    setFocusProxy(listView);
    connect(newValueLineEdit, &SHintTextEdit::EmptyText, this, &MultipleChoiceWidget::setAddDisabled,
            Qt::UniqueConnection);
    newValueLineEdit->clearSearchText();
    if (disableNew)
        setProperty("disableNew", true);
    addButton->setEnabled(false);
    listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_focusConnection = connect(qApp, &QApplication::focusChanged, this, &MultipleChoiceWidget::onFocusChanged);
}

MultipleChoiceWidget::~MultipleChoiceWidget()
{
    // The children lose the focus inside QWidget's destructor, when this part is gone.
    disconnect(m_focusConnection);
    delete m_ui;
}

void MultipleChoiceWidget::onFocusChanged(QWidget *, QWidget *now)
{
    // The editor keeps the focus in its children (the list, the new-choice line): only a move to a widget
    // outside it ends the edit, as leaving any cell editor does.
    if (editorMode && now && now != this && !isAncestorOf(now) && isVisible())
        emit editorLeft();
}

void MultipleChoiceWidget::setModel(QAbstractItemModel *source, bool temporary)
{
    if (!source) {
        // The items table ignores a null model; its base takes it.
        listView->STableView::setModel(nullptr);
        m_selectionModel.setSourceModel(nullptr);
        listView->setEnabled(false);
        newValueLineEdit->setEnabled(false);
        addButton->setEnabled(false);
        return;
    }
    m_selectionModel.setSourceModel(source);
    if (temporary) {
        m_temporaryModel.copyFrom(&m_selectionModel);
        m_currentModel = &m_temporaryModel;
    } else {
        m_currentModel = &m_selectionModel;
    }
    connect(m_currentModel, &SelectionModel::SelectionChanged, this, &MultipleChoiceWidget::_selChanged,
            Qt::UniqueConnection);
    listView->setModel(m_currentModel);
    listView->setEnabled(true);
    newValueLineEdit->setEnabled(true);
}

QString MultipleChoiceWidget::values() const
{
    return m_currentModel ? m_currentModel->selectedValues() : QString();
}

void MultipleChoiceWidget::setSelectedValues(const QString &text)
{
    QStringList list;
    if (!text.trimmed().isEmpty()) {
        QStringList parts = text.split(u';', Qt::KeepEmptyParts, Qt::CaseSensitive);
        parts.sort();
        for (const QString &part : std::as_const(parts)) {
            const QString trimmed = part.trimmed();
            if (!trimmed.isEmpty())
                list.append(trimmed);
        }
    }
    if (m_currentModel)
        m_currentModel->setSelectedValues(list);
}

bool MultipleChoiceWidget::setProperty(const char *name, const QVariant &value)
{
    if (qstrcmp(name, "disableNew") == 0) {
        const bool visible = !value.toBool();
        addButton->setVisible(visible);
        newValueLineEdit->setVisible(visible);
    }
    QObject::setProperty(name, value);
    return true;
}

void MultipleChoiceWidget::append()
{
    const QString text = newValueLineEdit->text().trimmed();
    // The line shows its hint when nothing was typed: that is no choice.
    if (!text.isEmpty() && !newValueLineEdit->isHintShown() && m_currentModel) {
        QStringList selected = m_currentModel->selectedList();
        if (!selected.contains(text, Qt::CaseSensitive)) {
            selected.append(text);
            m_currentModel->setSelectedValues(selected);
            _selChanged();
        }
    }
    newValueLineEdit->SLineEdit::setText(QString());
}

void MultipleChoiceWidget::_selChanged()
{
    QString text = m_currentModel ? m_currentModel->selectedValues() : QString();
    emit SelectedValuesChanged(text);
}

void MultipleChoiceWidget::setAddDisabled(bool disabled)
{
    addButton->setDisabled(disabled);
}

void MultipleChoiceWidget::keyPressEvent(QKeyEvent *event)
{
    // An editor floats over the rows of its table: a key it leaves alone must not reach the table beneath,
    // where an arrow would move the current row. Escape, Return and Tab are the table's delegate's, which
    // sees them before this.
    if (editorMode) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MultipleChoiceWidget::hideEvent(QHideEvent *event)
{
    // A closed editor hands the focus back to its table instead of letting it wander to the next widget
    // of the window; that move is no leaving the edit, which is over.
    if (editorMode && isAncestorOf(QApplication::focusWidget())) {
        for (QWidget *up = parentWidget(); up; up = up->parentWidget()) {
            if (auto *view = qobject_cast<QAbstractItemView *>(up)) {
                const QSignalBlocker quiet(this);
                view->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    }
    QWidget::hideEvent(event);
}

void MultipleChoiceWidget::applyTranslations()
{
    newValueLineEdit->setProperty("emptyText", QCoreApplication::translate("MultipleChoiceWidget", "New choice..."));
    addButton->setText(QCoreApplication::translate("MultipleChoiceWidget", "Add"));
}

void MultipleChoiceWidget::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        applyTranslations();
}

void MultipleChoiceWidget::retranslateUi()
{
    applyTranslations();
    newValueLineEdit->SLineEdit::setText(newValueLineEdit->emptyText());
}
