#include "testmain.h"

#include "dialoganswerer.h"
#include "listinthewindow.h"
#include "listoftype.h"
#include "listpagetest.h"

#include "base/settings.h"
#include "device/core/zbdeviceinfo.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "listfiles/radiolistprojectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/linklistmodule.h"
#include "lists/radiolistmodule.h"
#include "lists/tvlistmodule.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// "Open saved favourite lists" on the More page takes File > Open's path: the open list stays until a
// chosen file has been read and loaded, so a cancelled dialog or a damaged file leaves it as it was.
class TestOpenFromTheMorePage : public QObject
{
    Q_OBJECT

    template<class Page> void openFromTheMorePage(const QString &type, const QString &chosen, bool edited)
    {
        QTemporaryDir dir;
        const QString extension = projectExtensionOf(type);
        const QString other = listFile(dir, QStringLiteral("other.") + extension, listOfType(type, 7));
        QVERIFY(!other.isEmpty());
        QFile damaged(dir.filePath(QStringLiteral("damaged.") + extension));
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write("not a list at all") > 0);
        damaged.close();

        ZBDeviceInfo info(QStringLiteral("Box"));
        auto page = showListPage<Page>(&info, listOfType(type, 12));
        ListItemsDatabaseModel *items = page->projectManager()->itemsModel;
        const int column = page->projectManager()->fieldColumns.value(
            type == QLatin1String("link") ? QStringLiteral("title") : QStringLiteral("name"));
        if (edited)
            QVERIFY(items->setData(items->index(0, column), QStringLiteral("Edited"), Qt::EditRole));
        DialogAnswerer answers;
        // A save question, if one came, is answered No: the edit would be dropped.
        answers.boxAnswers = {QStringLiteral("&No")};
        answers.fileAnswers = {chosen == QLatin1String("other")     ? other
                               : chosen == QLatin1String("damaged") ? damaged.fileName()
                                                                    : QString()};
        page->moreCommandLinkButton->click();
        QCOMPARE(page->stackedWidget->currentIndex(), int(Page::PageExport));
        page->btnOpenSavedProject2->click();
        QCOMPARE(answers.fileDialogs.size(), 1);
        QVERIFY(page->projectManager()->isProjectLoaded());
        if (chosen == QLatin1String("other")) {
            // the edit is asked about only once a file was read, and dropped as answered
            QCOMPARE(answers.boxTexts.size(), edited ? 1 : 0);
            QCOMPARE(page->projectManager()->itemsModel->rowCount(), 7);
            QCOMPARE(page->stackedWidget->currentIndex(), int(Page::PageEditor));
            QVERIFY(!page->projectManager()->isModified());
            return;
        }
        QCOMPARE(answers.boxTexts, chosen == QLatin1String("damaged")
                                       ? QStringList{QStringLiteral("Error. File is empty or contains invalid data.")}
                                       : QStringList());
        items = page->projectManager()->itemsModel;
        QCOMPARE(items->rowCount(), 12);
        QCOMPARE(page->projectManager()->isModified(), edited);
        QCOMPARE(items->index(0, column).data().toString() == QLatin1String("Edited"), edited);
        QVERIFY(page->stackedWidget->currentIndex() != int(Page::PageWelcome));
        // The list goes on being edited and, asked to, opens the other file after all.
        answers.boxTexts.clear();
        answers.boxAnswers = {QStringLiteral("&No")};
        answers.fileAnswers = {other};
        page->moreCommandLinkButton->click();
        page->btnOpenSavedProject2->click();
        QCOMPARE(page->projectManager()->itemsModel->rowCount(), 7);
        QCOMPARE(answers.boxTexts.size(), edited ? 1 : 0);
    }

private slots:
    void init() { QSettings().clear(); }

    void openSavedFavouriteLists_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("chosen"); // "" cancels the dialog
        QTest::addColumn<bool>("edited");
        for (const char *type : {"tv", "radio", "link"}) {
            QTest::addRow("%s: edited, cancelled", type) << type << QString() << true;
            QTest::addRow("%s: damaged file", type) << type << QStringLiteral("damaged") << false;
            QTest::addRow("%s: edited, damaged file", type) << type << QStringLiteral("damaged") << true;
            QTest::addRow("%s: edited, another file", type) << type << QStringLiteral("other") << true;
        }
    }
    void openSavedFavouriteLists()
    {
        QFETCH(QString, type);
        QFETCH(QString, chosen);
        QFETCH(bool, edited);
        forPageOfType(type, [&](auto *page) {
            openFromTheMorePage<std::remove_pointer_t<decltype(page)>>(type, chosen, edited);
        });
    }
};

OMBRELAY_TEST_MAIN(TestOpenFromTheMorePage)
#include "tst_openfromthemorepage.moc"
