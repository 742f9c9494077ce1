#include "testmain.h"
#include "widgetsfixture.h"

#include "base/settings.h"
#include "widgets/booleanmodel.h"
#include "widgets/messageboxcheckable.h"
#include "widgets/modelmenu.h"
#include "widgets/multiplechoicewidget.h"
#include "widgets/shinttextedit.h"
#include "widgets/stableview.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMetaEnum>
#include <QPushButton>
#include <QSettings>
#include <QTranslator>

// The program's boxes, answered through the answer hook with real key presses and clicks, and the
// widgets' texts out of the compiled-in German and Polish translations.
class TestMessageBox : public QObject
{
    Q_OBJECT

    QStringList seen; // per box: "title, icon: buttons in the order added [default button]"
    QTranslator translator;

    void answer(const QString &press)
    {
        answerBoxes(press, [this](QDialog *dialog) {
            // frameless, and still modal
            QCOMPARE(dialog->windowFlags(), Qt::Dialog | Qt::FramelessWindowHint);
            QVERIFY(dialog->isModal() || dialog->windowModality() != Qt::NonModal);
            auto *box = qobject_cast<QMessageBox *>(dialog);
            QStringList buttons;
            for (QPushButton *button : box->findChildren<QPushButton *>())
                buttons << button->text();
            seen << QStringLiteral("%1, %2: %3 [%4]")
                        .arg(box->windowTitle(), QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(box->icon()),
                             buttons.join(' '), box->defaultButton() ? box->defaultButton()->text() : QString());
        });
    }
    // Puts the question of one kind and gives its result as a number.
    static int ask(const QString &kind, MessageBox::Answer defaultAnswer)
    {
        const QString text = QStringLiteral("The list was saved.");
        if (kind == "critical")
            MessageBox::critical(nullptr, text);
        else if (kind == "yes/no")
            return MessageBox::questionYesNo(nullptr, text, defaultAnswer);
        else if (kind == "yes/cancel")
            return MessageBox::questionYesCancel(nullptr, text, defaultAnswer);
        else if (kind == "own")
            return MessageBox::question(nullptr, text, "Replace", "Keep", defaultAnswer);
        else if (kind == "all")
            return MessageBox::questionYesAllNoCancel(nullptr, text, QMessageBox::Warning, defaultAnswer);
        else if (kind == "yes/no/cancel")
            return MessageBox::questionYesNoCancel(nullptr, text, QMessageBox::Information);
        return -1;
    }
private slots:
    void init()
    {
        seen.clear();
        QSettings().clear();
    }
    void cleanup()
    {
        MessageBox::setAnswerHook({});
        QCoreApplication::removeTranslator(&translator);
    }

    void boxes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("defaultAnswer");
        QTest::addColumn<QString>("press"); // a button text, "Escape", "Enter" or "nothing"
        QTest::addColumn<int>("result");    // true/false as 1/0, else the Answer
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, const char *kind, int defaultAnswer, const char *press, int result,
                            const QString &shown) {
            QTest::newRow(name) << kind << defaultAnswer << press << result << shown;
        };
        using M = MessageBox;
        const QString all = "Ombrelay, Warning: Yes to &All &Yes &No &Cancel [%1]";
        row("critical", "critical", M::Yes, "Escape", -1, "Ombrelay Error, Critical: &Ok [&Ok]");
        row("yes/no: yes", "yes/no", M::No, "&Yes", 1, "Ombrelay, Question: &Yes &No [&No]");
        row("yes/no: escape", "yes/no", M::Yes, "Escape", 0, "Ombrelay, Question: &Yes &No [&Yes]");
        row("yes/no: no default", "yes/no", M::Cancel, "&Yes", 1, "Ombrelay, Question: &Yes &No []");
        row("yes/cancel: No picks none", "yes/cancel", M::No, "&Cancel", 0, "Ombrelay, Question: &Yes &Cancel []");
        row("own: escape", "own", M::Yes, "Escape", 0, "Ombrelay, Question: Replace Keep [Replace]");
        row("all: enter", "all", M::YesToAll, "Enter", M::YesToAll, all.arg("Yes to &All"));
        row("all: escape", "all", M::Yes, "Escape", M::Cancel, all.arg("&Yes"));
        row("all: left open", "all", M::No, "nothing", M::Cancel, all.arg("&No"));
        row("yes/no/cancel", "yes/no/cancel", M::Yes, "&No", M::No, "Ombrelay, Information: &Yes &No &Cancel []");
    }
    void boxes()
    {
        QFETCH(QString, kind);
        QFETCH(int, defaultAnswer);
        QFETCH(QString, press);
        QFETCH(int, result);
        QFETCH(QString, shown);
        answer(press);
        QCOMPARE(ask(kind, MessageBox::Answer(defaultAnswer)), result);
        QCOMPARE(seen, QStringList{shown});
    }

    void checkable_data()
    {
        QTest::addColumn<QString>("before"); // stored value, "" for none
        QTest::addColumn<bool>("tick");
        QTest::addColumn<QString>("press");
        QTest::addColumn<bool>("shownTicked");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("after");
        dataRow("ticked, no", "", true, "&No", false, 0, "1");
        dataRow("ticked, escape", "0", true, "Escape", false, 0, "1");
        dataRow("not ticked, yes", "", false, "&Yes", false, 1, "");
        dataRow("not ticked, enter is no", "0", false, "Enter", false, 0, "0");
        dataRow("stored 1 shows ticked", "1", false, "&Yes", true, 1, "1");
        dataRow("untick never resets", "1", false, "untick", true, 0, "1");
    }
    void checkable()
    {
        QFETCH(QString, before);
        QFETCH(bool, tick);
        QFETCH(QString, press);
        QFETCH(bool, shownTicked);
        QFETCH(int, result);
        QFETCH(QString, after);
        if (!before.isEmpty())
            Settings::setString(Settings::SendingListsRestartWarning, before);
        bool wasTicked = false;
        answerBoxes(press == "untick" ? "&No" : press, [&](QDialog *dialog) {
            auto *check = dialog->findChild<QCheckBox *>(QStringLiteral("cbQuestion"));
            wasTicked = check->isChecked();
            QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("lblMessage"))->text(), QStringLiteral("Send?"));
            QCOMPARE(dialog->windowFlags(), Qt::Dialog | Qt::FramelessWindowHint);
            check->setChecked(tick || (wasTicked && press != "untick"));
        });
        MessageBoxCheckable box;
        QCOMPARE(box.exec("Send?", "Do not ask again", Settings::SendingListsRestartWarning), result);
        QCOMPARE(wasTicked, shownTicked);
        QCOMPARE(QSettings().value(QStringLiteral("SendingListsRestartWarning")).toString(), after);
        // The buttons live for one question only.
        QVERIFY(box.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->buttons().isEmpty());
    }

    void germanTexts()
    {
        MultipleChoiceWidget choices;
        QStringListModel values({QStringLiteral("a")});
        ModelMenu menu(QStringLiteral("Genre"), nullptr, 0, ModelMenu::SetOrClear);
        menu.setModel(&values, 0);
        QVERIFY(translator.load(QStringLiteral(":/translations/Resources/MUI/de_DE.qm")));
        QCoreApplication::installTranslator(&translator);
        QTRY_COMPARE(choices.addButton->text(), QStringLiteral("Hinzufügen")); // through the language change
        choices.retranslateUi();
        QCOMPARE(choices.newValueLineEdit->text(), QStringLiteral("Neue Auswahl..."));
        menu.updateActions();
        QCOMPARE(menu.actions().last()->text(), QStringLiteral("Leeren"));
        BooleanModel booleans(QStringLiteral("Enabled"), QStringLiteral("Disabled"));
        QCOMPARE(booleans.data(booleans.index(1, 0)).toString(), QStringLiteral("Deaktiviert"));
        STableView view; // made in German, named as always
        QCOMPARE(view.action(STableView::Copy)->text(), QStringLiteral("&Kopieren"));
        QCOMPARE(view.action(STableView::Copy)->objectName(), QStringLiteral("action_C&opy"));
        answer("&No"); // the source text finds the translated button
        QCOMPARE(MessageBox::questionYesAllNoCancel(nullptr, "?", QMessageBox::Question, MessageBox::Yes),
                 MessageBox::No);
        QCOMPARE(seen, QStringList{"Ombrelay, Question: Ja für &alle &Ja &Nein &Abbrechen [&Ja]"});
    }
};

OMBRELAY_TEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
