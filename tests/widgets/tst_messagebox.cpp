#include "testmain.h"

#include "widgets/messagebox.h"
#include "widgets/messageboxcheckable.h"
#include "base/settings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>

// Every box is answered through the answer hook with real key presses and clicks.
class TestMessageBox : public QObject
{
    Q_OBJECT

    struct Seen
    {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;
        QString defaultButton;
        Qt::WindowFlags flags;
        bool modal = false;
        int count = 0;
    };
    Seen seen;

    // Records what the box shows, then performs action on it.
    void answerWith(std::function<void(QDialog *)> action)
    {
        MessageBox::setAnswerHook([this, action](QDialog *dialog) {
            ++seen.count;
            seen.title = dialog->windowTitle();
            seen.flags = dialog->windowFlags();
            seen.modal = dialog->isModal() || dialog->windowModality() != Qt::NonModal;
            if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
                seen.text = box->text();
                seen.icon = box->icon();
                // In the order they were added (buttons() sorts them by role).
                for (QPushButton *b : box->findChildren<QPushButton *>())
                    seen.buttons << b->text();
                if (box->defaultButton())
                    seen.defaultButton = box->defaultButton()->text();
            }
            action(dialog);
        });
    }
    void answerWithButton(const QString &text)
    {
        answerWith([text](QDialog *box) { QVERIFY(MessageBox::clickButton(box, text)); });
    }
    void answerWithKey(Qt::Key key)
    {
        answerWith([key](QDialog *box) { QTest::keyClick(box, key); });
    }
    // press: a button text, "Escape", "Enter", or "nothing" to leave the box open.
    void answerWithPress(const QString &press)
    {
        if (press == QLatin1String("Escape"))
            answerWithKey(Qt::Key_Escape);
        else if (press == QLatin1String("Enter"))
            answerWithKey(Qt::Key_Return);
        else if (press == QLatin1String("nothing"))
            answerWith([](QDialog *) {});
        else
            answerWithButton(press);
    }

private slots:
    void init()
    {
        seen = Seen();
        QSettings().clear();
    }
    void cleanup() { MessageBox::setAnswerHook({}); }

    void messages_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("icon");
        QTest::newRow("information") << 0 << "Ombrelay" << int(QMessageBox::Information);
        QTest::newRow("warning") << 1 << "Ombrelay" << int(QMessageBox::Warning);
        QTest::newRow("critical") << 2 << "Ombrelay Error" << int(QMessageBox::Critical);
        QTest::newRow("show critical") << 3 << "Ombrelay Error" << int(QMessageBox::Critical);
        QTest::newRow("show question") << 4 << "Ombrelay" << int(QMessageBox::Question);
    }
    void messages()
    {
        QFETCH(int, kind);
        QFETCH(QString, title);
        QFETCH(int, icon);
        QWidget parent;
        answerWithKey(Qt::Key_Return);
        const QString text = QStringLiteral("The list was saved.");
        switch (kind) {
        case 0:
            MessageBox::information(&parent, text);
            break;
        case 1:
            MessageBox::warning(&parent, text);
            break;
        case 2:
            MessageBox::critical(&parent, text);
            break;
        case 3:
            MessageBox::show(&parent, text, QMessageBox::Critical);
            break;
        default:
            MessageBox::show(&parent, text, QMessageBox::Question);
            break;
        }
        QCOMPARE(seen.count, 1);
        QCOMPARE(seen.title, title);
        QCOMPARE(int(seen.icon), icon);
        QCOMPARE(seen.text, text);
        QCOMPARE(seen.buttons, QStringList{"&Ok"});
        QCOMPARE(seen.defaultButton, QStringLiteral("&Ok"));
        QCOMPARE(seen.flags, Qt::Dialog | Qt::FramelessWindowHint);
        QVERIFY(seen.modal);
    }

    void twoButtonQuestions_data()
    {
        QTest::addColumn<int>("kind"); // 0 yes/no, 1 yes/cancel, 2 own texts
        QTest::addColumn<int>("defaultAnswer");
        QTest::addColumn<QString>("press"); // button text, or "Escape" / "Enter"
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("defaultButton");
        QTest::addColumn<bool>("expected");
        const QStringList yn{"&Yes", "&No"};
        const QStringList yc{"&Yes", "&Cancel"};
        const QStringList own{"Replace", "Keep"};
        QTest::newRow("yes/no: yes") << 0 << int(MessageBox::No) << "&Yes" << yn << "&No" << true;
        QTest::newRow("yes/no: no") << 0 << int(MessageBox::Yes) << "&No" << yn << "&Yes" << false;
        QTest::newRow("yes/no: escape") << 0 << int(MessageBox::Yes) << "Escape" << yn << "&Yes" << false;
        QTest::newRow("yes/no: enter on no") << 0 << int(MessageBox::No) << "Enter" << yn << "&No" << false;
        QTest::newRow("yes/no: no default") << 0 << int(MessageBox::Cancel) << "&Yes" << yn << "" << true;
        QTest::newRow("yes/cancel: yes") << 1 << int(MessageBox::Cancel) << "&Yes" << yc << "&Cancel" << true;
        QTest::newRow("yes/cancel: escape") << 1 << int(MessageBox::Yes) << "Escape" << yc << "&Yes" << false;
        QTest::newRow("yes/cancel: No picks none") << 1 << int(MessageBox::No) << "&Cancel" << yc << "" << false;
        QTest::newRow("own: first") << 2 << int(MessageBox::No) << "Replace" << own << "Keep" << true;
        QTest::newRow("own: escape") << 2 << int(MessageBox::Yes) << "Escape" << own << "Replace" << false;
    }
    void twoButtonQuestions()
    {
        QFETCH(int, kind);
        QFETCH(int, defaultAnswer);
        QFETCH(QString, press);
        QFETCH(QStringList, buttons);
        QFETCH(QString, defaultButton);
        QFETCH(bool, expected);
        answerWithPress(press);
        const auto answer = MessageBox::Answer(defaultAnswer);
        bool result = false;
        if (kind == 0)
            result = MessageBox::questionYesNo(nullptr, QStringLiteral("Q?"), answer);
        else if (kind == 1)
            result = MessageBox::questionYesCancel(nullptr, QStringLiteral("Q?"), answer);
        else
            result = MessageBox::question(nullptr, QStringLiteral("Q?"), QStringLiteral("Replace"),
                                          QStringLiteral("Keep"), answer);
        QCOMPARE(seen.count, 1);
        QCOMPARE(result, expected);
        QCOMPARE(seen.buttons, buttons);
        QCOMPARE(seen.defaultButton, defaultButton);
        QCOMPARE(seen.title, QStringLiteral("Ombrelay"));
        QCOMPARE(seen.icon, QMessageBox::Question);
        QCOMPARE(seen.flags, Qt::Dialog | Qt::FramelessWindowHint);
    }

    void yesAllNoCancel_data()
    {
        QTest::addColumn<int>("defaultAnswer");
        QTest::addColumn<QString>("press");
        QTest::addColumn<QString>("defaultButton");
        QTest::addColumn<int>("expected");
        using M = MessageBox;
        QTest::newRow("enter on default no") << int(M::No) << "Enter"
                                             << "&No" << int(M::No);
        QTest::newRow("enter on default all") << int(M::YesToAll) << "Enter"
                                              << "Yes to &All" << int(M::YesToAll);
        QTest::newRow("enter on default cancel") << int(M::Cancel) << "Enter"
                                                 << "&Cancel" << int(M::Cancel);
        QTest::newRow("escape") << int(M::Yes) << "Escape"
                                << "&Yes" << int(M::Cancel);
        QTest::newRow("click all") << int(M::No) << "Yes to &All"
                                   << "&No" << int(M::YesToAll);
        QTest::newRow("click yes") << int(M::No) << "&Yes"
                                   << "&No" << int(M::Yes);
        QTest::newRow("click no") << int(M::Yes) << "&No"
                                  << "&Yes" << int(M::No);
        QTest::newRow("left open") << int(M::No) << "nothing"
                                   << "&No" << int(M::Cancel);
    }
    void yesAllNoCancel()
    {
        QFETCH(int, defaultAnswer);
        QFETCH(QString, press);
        QFETCH(QString, defaultButton);
        QFETCH(int, expected);
        answerWithPress(press);
        const MessageBox::Answer answer = MessageBox::questionYesAllNoCancel(
            nullptr, QStringLiteral("Overwrite?"), QMessageBox::Warning, MessageBox::Answer(defaultAnswer));
        QCOMPARE(int(answer), expected);
        QCOMPARE(seen.buttons, (QStringList{"Yes to &All", "&Yes", "&No", "&Cancel"}));
        QCOMPARE(seen.defaultButton, defaultButton);
        QCOMPARE(seen.icon, QMessageBox::Warning);
    }

    void yesNoCancel_data()
    {
        QTest::addColumn<int>("kind"); // 0 question, 1 warning
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("expected");
        QTest::newRow("question escape") << 0 << "Escape" << int(MessageBox::Cancel);
        QTest::newRow("question no") << 0 << "&No" << int(MessageBox::No);
        QTest::newRow("warning cancel") << 1 << "&Cancel" << int(MessageBox::Cancel);
        QTest::newRow("warning no") << 1 << "&No" << int(MessageBox::No);
    }
    void yesNoCancel()
    {
        QFETCH(int, kind);
        QFETCH(QString, press);
        QFETCH(int, expected);
        answerWithPress(press);
        const MessageBox::Answer answer =
            kind == 0 ? MessageBox::questionYesNoCancel(nullptr, QStringLiteral("Save?"), QMessageBox::Information)
                      : MessageBox::warningYesNoCancel(nullptr, QStringLiteral("Save?"));
        QCOMPARE(int(answer), expected);
        QCOMPARE(seen.buttons, (QStringList{"&Yes", "&No", "&Cancel"}));
        QCOMPARE(seen.defaultButton, QString());
        QCOMPARE(seen.icon, kind == 0 ? QMessageBox::Information : QMessageBox::Warning);
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
        const Settings::setingKey key = Settings::SendingListsRestartWarning;
        if (!before.isEmpty())
            Settings::setString(key, before);

        bool wasTicked = false;
        QString message, checkText;
        QStringList buttons;
        Qt::WindowFlags flags;
        answerWith([&](QDialog *dialog) {
            auto *cb = dialog->findChild<QCheckBox *>(QStringLiteral("cbQuestion"));
            QVERIFY(cb);
            wasTicked = cb->isChecked();
            checkText = cb->text();
            message = dialog->findChild<QLabel *>(QStringLiteral("lblMessage"))->text();
            flags = dialog->windowFlags();
            for (QAbstractButton *b : dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->buttons())
                buttons << b->text();
            if (tick)
                cb->setChecked(true);
            if (press == QLatin1String("Escape"))
                QTest::keyClick(dialog, Qt::Key_Escape);
            else if (press == QLatin1String("Enter"))
                QTest::keyClick(dialog, Qt::Key_Return);
            else if (press == QLatin1String("untick")) {
                cb->setChecked(false);
                QVERIFY(MessageBox::clickButton(dialog, QStringLiteral("&No")));
            } else
                QVERIFY(MessageBox::clickButton(dialog, press));
        });

        MessageBoxCheckable box;
        QCOMPARE(box.exec(QStringLiteral("Send the lists?"), QStringLiteral("Do not ask again"), key), result);
        QCOMPARE(wasTicked, shownTicked);
        QCOMPARE(message, QStringLiteral("Send the lists?"));
        QCOMPARE(checkText, QStringLiteral("Do not ask again"));
        QCOMPARE(buttons, (QStringList{"&Yes", "&No"}));
        QCOMPARE(flags, Qt::Dialog | Qt::FramelessWindowHint);
        QCOMPARE(QSettings().value(QStringLiteral("SendingListsRestartWarning")).toString(), after);
        // The buttons live for one question only.
        QVERIFY(box.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->buttons().isEmpty());
    }
};

OMBRELAY_TEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
