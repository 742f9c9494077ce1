#include "testmain.h"

#include "widgets/booleanmodel.h"
#include "widgets/modelmenu.h"
#include "widgets/multiplechoicewidget.h"
#include "widgets/shinttextedit.h"
#include "widgets/stableview.h"

#include <QAction>
#include <QPushButton>
#include <QStringListModel>
#include <QTranslator>

// The widgets' texts come out of the compiled-in German and Polish translations.
class TestWidgetTranslations : public QObject
{
    Q_OBJECT

    QTranslator translator;

    void load(const QString &language)
    {
        QVERIFY(translator.load(QStringLiteral(":/translations/Resources/MUI/%1.qm").arg(language)));
        QVERIFY(QCoreApplication::installTranslator(&translator));
    }

private slots:
    void cleanup() { QCoreApplication::removeTranslator(&translator); }

    void germanTexts()
    {
        STableView view;
        MultipleChoiceWidget choices;
        QStringListModel values({QStringLiteral("a")});
        ModelMenu menu(QStringLiteral("Genre"), &view, 0, ModelMenu::SetOrClear);
        menu.setModel(&values, 0);
        load(QStringLiteral("de_DE"));
        view.updateActions();
        QCOMPARE(view.action(STableView::Cut)->text(), QStringLiteral("&Ausschneiden"));
        QCOMPARE(view.action(STableView::SelectAll)->text(), QStringLiteral("&Alles auswählen"));
        QCOMPARE(view.action(STableView::Cut)->objectName(), QStringLiteral("action_&Cut")); // names stay
        QTRY_COMPARE(choices.addButton->text(), QStringLiteral("Hinzufügen")); // through the language change
        choices.retranslateUi();
        QCOMPARE(choices.newValueLineEdit->text(), QStringLiteral("Neue Auswahl..."));
        menu.updateActions();
        QCOMPARE(menu.actions().last()->text(), QStringLiteral("Leeren"));
    }

    void polishTexts()
    {
        load(QStringLiteral("pl_PL"));
        STableView view; // made in Polish, named as always
        QCOMPARE(view.action(STableView::Copy)->text(), QStringLiteral("&Kopiuj"));
        QCOMPARE(view.action(STableView::Copy)->objectName(), QStringLiteral("action_C&opy"));
        BooleanModel booleans(QStringLiteral("Enabled"), QStringLiteral("Disabled"));
        QCOMPARE(booleans.data(booleans.index(1, 0)).toString(), QStringLiteral("Wyłączone"));
    }
};

OMBRELAY_TEST_MAIN(TestWidgetTranslations)
#include "tst_widgettranslations.moc"
