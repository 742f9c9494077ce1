#include "testmain.h"
#include "widgetsfixture.h"

#include "base/settings.h"
#include "widgets/messageboxcheckable.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>

// Every box is answered through the answer hook with real key presses and clicks.
class TestMessageBox : public QObject
{
    Q_OBJECT

    int shown = 0;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons; // in the order they were added (buttons() sorts them by role)
    QString defaultButton;

    // Notes what a box shows, then answers it with press.
    void answer(const QString &press)
    {
        answerBoxes(press, [this](QDialog *dialog) {
            ++shown;
            title = dialog->windowTitle();
            // frameless, and still modal
            QCOMPARE(dialog->windowFlags(), Qt::Dialog | Qt::FramelessWindowHint);
            QVERIFY(dialog->isModal() || dialog->windowModality() != Qt::NonModal);
            if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
                icon = box->icon();
                for (QPushButton *button : box->findChildren<QPushButton *>())
                    buttons << button->text();
                defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
            }
        });
    }
    // Puts the question of one kind and gives its result as a number.
    static int ask(const QString &kind, MessageBox::Answer defaultAnswer)
    {
        const QString text = QStringLiteral("The list was saved.");
        if (kind == "information")
            MessageBox::information(nullptr, text);
        else if (kind == "critical")
            MessageBox::critical(nullptr, text);
        else if (kind == "show question")
            MessageBox::show(nullptr, text, QMessageBox::Question);
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
        else if (kind == "warning yes/no/cancel")
            return MessageBox::warningYesNoCancel(nullptr, text);
        return -1;
    }

private slots:
    void init()
    {
        shown = 0;
        buttons.clear();
        QSettings().clear();
    }
    void cleanup() { MessageBox::setAnswerHook({}); }

    void boxes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("defaultAnswer");
        QTest::addColumn<QString>("press"); // a button text, "Escape", "Enter" or "nothing"
        QTest::addColumn<int>("result");    // true/false as 1/0, else the Answer
        QTest::addColumn<int>("shownIcon");
        QTest::addColumn<QString>("shownButtons");
        QTest::addColumn<QString>("shownDefault");
        const int info = QMessageBox::Information, warn = QMessageBox::Warning, quest = QMessageBox::Question;
        const QString yn = "&Yes|&No", yc = "&Yes|&Cancel", all = "Yes to &All|&Yes|&No|&Cancel";
        const auto row = [](const char *name, const char *kind, int defaultAnswer, const char *press, int result,
                            int icon, const QString &shownButtons, const char *shownDefault) {
            QTest::newRow(name) << kind << defaultAnswer << press << result << icon << shownButtons << shownDefault;
        };
        using M = MessageBox;
        row("information", "information", M::Yes, "Enter", -1, info, "&Ok", "&Ok");
        row("critical", "critical", M::Yes, "Escape", -1, QMessageBox::Critical, "&Ok", "&Ok");
        row("show question", "show question", M::Yes, "&Ok", -1, quest, "&Ok", "&Ok");
        row("yes/no: yes", "yes/no", M::No, "&Yes", 1, quest, yn, "&No");
        row("yes/no: escape", "yes/no", M::Yes, "Escape", 0, quest, yn, "&Yes");
        row("yes/no: enter on no", "yes/no", M::No, "Enter", 0, quest, yn, "&No");
        row("yes/no: no default", "yes/no", M::Cancel, "&Yes", 1, quest, yn, "");
        row("yes/cancel: yes", "yes/cancel", M::Cancel, "&Yes", 1, quest, yc, "&Cancel");
        row("yes/cancel: No picks none", "yes/cancel", M::No, "&Cancel", 0, quest, yc, "");
        row("own: first", "own", M::No, "Replace", 1, quest, "Replace|Keep", "Keep");
        row("own: escape", "own", M::Yes, "Escape", 0, quest, "Replace|Keep", "Replace");
        row("all: enter on default", "all", M::YesToAll, "Enter", M::YesToAll, warn, all, "Yes to &All");
        row("all: escape", "all", M::Yes, "Escape", M::Cancel, warn, all, "&Yes");
        row("all: click no", "all", M::Yes, "&No", M::No, warn, all, "&Yes");
        row("all: left open", "all", M::No, "nothing", M::Cancel, warn, all, "&No");
        row("yes/no/cancel: escape", "yes/no/cancel", M::Yes, "Escape", M::Cancel, info, "&Yes|&No|&Cancel", "");
        row("warning: no", "warning yes/no/cancel", M::Yes, "&No", M::No, warn, "&Yes|&No|&Cancel", "");
    }
    void boxes()
    {
        QFETCH(QString, kind);
        QFETCH(int, defaultAnswer);
        QFETCH(QString, press);
        QFETCH(int, result);
        QFETCH(int, shownIcon);
        QFETCH(QString, shownButtons);
        QFETCH(QString, shownDefault);
        answer(press);
        QCOMPARE(ask(kind, MessageBox::Answer(defaultAnswer)), result);
        QCOMPARE(shown, 1);
        QCOMPARE(title, QString(kind == "critical" ? "Ombrelay Error" : "Ombrelay"));
        QCOMPARE(int(icon), shownIcon);
        QCOMPARE(buttons.join('|'), shownButtons);
        QCOMPARE(defaultButton, shownDefault);
    }

    void checkable_data()
    {
        QTest::addColumn<QString>("before"); // stored value, "" for none
        QTest::addColumn<bool>("tick");
        QTest::addColumn<QString>("press");
        QTest::addColumn<bool>("shownTicked");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("after");
        QTest::newRow("ticked, no") << "" << true << "&No" << false << 0 << "1";
        QTest::newRow("ticked, yes") << "" << true << "&Yes" << false << 1 << "1";
        QTest::newRow("ticked, escape") << "0" << true << "Escape" << false << 0 << "1";
        QTest::newRow("not ticked, yes") << "" << false << "&Yes" << false << 1 << "";
        QTest::newRow("not ticked, enter is no") << "0" << false << "Enter" << false << 0 << "0";
        QTest::newRow("stored 1 shows ticked") << "1" << false << "&Yes" << true << 1 << "1";
        QTest::newRow("untick never resets") << "1" << false << "untick" << true << 0 << "1";
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
            QCOMPARE(check->text(), QStringLiteral("Do not ask again"));
            QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("lblMessage"))->text(), QStringLiteral("Send?"));
            QCOMPARE(dialog->windowFlags(), Qt::Dialog | Qt::FramelessWindowHint);
            check->setChecked(tick || (wasTicked && press != "untick"));
        });
        MessageBoxCheckable box;
        QCOMPARE(
            box.exec(QStringLiteral("Send?"), QStringLiteral("Do not ask again"), Settings::SendingListsRestartWarning),
            result);
        QCOMPARE(wasTicked, shownTicked);
        QCOMPARE(QSettings().value(QStringLiteral("SendingListsRestartWarning")).toString(), after);
        // The buttons live for one question only.
        QVERIFY(box.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->buttons().isEmpty());
    }
};

OMBRELAY_TEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
