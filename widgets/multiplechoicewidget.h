#pragma once

#include "widgets/selectionmodel.h"
#include "widgets/temporaryselectionmodel.h"

#include <QWidget>

class ItemsTableView;
class QPushButton;
class QRegularExpressionValidator;
class SHintTextEdit;
namespace Ui {
class MultipleChoiceWidget;
}

// A check list of the choices a source model offers, with an optional line for a new choice. Its
// value, SelectedValues, is the ";"-joined text of the checked choices.
class MultipleChoiceWidget : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString SelectedValues READ values WRITE setSelectedValues NOTIFY SelectedValuesChanged USER true)

public:
    explicit MultipleChoiceWidget(QWidget *parent = nullptr, bool disableNew = false);
    ~MultipleChoiceWidget() override;

    void setModel(QAbstractItemModel *source, bool temporary);
    QString values() const;
    void setSelectedValues(const QString &text);
    bool setProperty(const char *name, const QVariant &value);
    void retranslateUi();

    bool editorMode = false;

    // The form's widgets.
    ItemsTableView *listView;
    SHintTextEdit *newValueLineEdit;
    QPushButton *addButton;

public slots:
    void append();
    void _selChanged();
    void setAddDisabled(bool disabled);

signals:
    void SelectedValuesChanged(QString &values);
    // In editor mode: the focus went to a widget outside the editor.
    void editorLeft();

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void applyTranslations();
    void onFocusChanged(QWidget *old, QWidget *now);

    QMetaObject::Connection m_focusConnection;

    Ui::MultipleChoiceWidget *m_ui;
    QRegularExpressionValidator *m_validator;
    SelectionModel m_selectionModel;
    TemporarySelectionModel m_temporaryModel;
    SelectionModel *m_currentModel = nullptr;
};
