#include "app/QtDialogs.h"
#include "app/mCommonDialog.h"
#include "support/QtTestMain.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace tw;

namespace {

// Runs `act` on the file dialog once it is up (the dialog's own event loop
// keeps running meanwhile).
void whenDialogShows(std::function<void(QFileDialog*)> act)
{
    QTimer::singleShot(0, [act] {
        QFileDialog* dialog = nullptr;
        (void)QTest::qWaitFor([&] {
            dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            return dialog != nullptr && dialog->isVisible();
        });
        if (dialog == nullptr) {
            qWarning("no file dialog came up");
            return;
        }
        act(dialog);
    });
}

// Types a name into the dialog's file-name box, as the user would.
void typeName(QFileDialog* dialog, const QString& name)
{
    if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        edit->setText(name);
}

// The names the dialog lists in its current folder.
QStringList listedNames(QFileDialog* dialog)
{
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    if (view == nullptr)
        return names;
    const QModelIndex root = view->rootIndex();
    for (int i = 0; i < view->model()->rowCount(root); ++i)
        names.append(view->model()->index(i, 0, root).data().toString());
    names.sort();
    return names;
}

FileDialogRequest strategiesRequest(const QString& folder)
{
    return filedialog::makeRequest(QString(), 0,
                                   filedialog::convertFilter(QStringLiteral("Strategies (.stg)|*.stg| All Files (*.*)|*.*")),
                                   1, folder, QStringLiteral("Select strategies file"), QStringLiteral("stg"), -1);
}

} // namespace

class QtFileDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        for (const char* name : {"DEFAULT.STG", "mine.stg", "README", "chain.opt"}) {
            QFile f(m_dir.filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("x");
        }
    }

    void openFiltersIgnoreCaseAndAllFilesMatchesNamesWithoutExtension()
    {
        QStringList stgListing;
        QStringList allListing;
        QStringList comboItems;
        whenDialogShows([&](QFileDialog* d) {
            (void)QTest::qWaitFor([&] { return listedNames(d).size() == 2; });
            stgListing = listedNames(d);
            if (auto* combo = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
                for (int i = 0; i < combo->count(); ++i)
                    comboItems.append(combo->itemText(i));
            }
            d->selectNameFilter(d->nameFilters().at(1));
            (void)QTest::qWaitFor([&] { return listedNames(d).size() == 4; });
            allListing = listedNames(d);
            typeName(d, QStringLiteral("DEFAULT.STG"));
            static_cast<QDialog*>(d)->accept();
        });
        const FileDialogAnswer a = QtDialogs::runFileDialog(false, strategiesRequest(m_dir.path()));
        QCOMPARE(stgListing, QStringList({QStringLiteral("DEFAULT.STG"), QStringLiteral("mine.stg")}));
        QCOMPARE(allListing.size(), 4);
        QVERIFY(allListing.contains(QStringLiteral("README")));
        QCOMPARE(comboItems, QStringList({QStringLiteral("Strategies (.stg)"), QStringLiteral("All Files (*.*)")}));
        QCOMPARE(a.result, int(FileDialogAnswer::Chosen));
        QCOMPARE(a.files, QStringList({m_dir.filePath(QStringLiteral("DEFAULT.STG"))}));
        QCOMPARE(a.selectedFilter, 1);
    }

    void cancelledDialog()
    {
        whenDialogShows([](QFileDialog* d) { d->reject(); });
        const FileDialogAnswer a = QtDialogs::runFileDialog(false, strategiesRequest(m_dir.path()));
        QCOMPARE(a.result, int(FileDialogAnswer::Cancelled));
        QVERIFY(a.files.isEmpty());
    }

    void ownerAndTitle()
    {
        QWidget owner;
        owner.show();
        QWidget* parentSeen = nullptr;
        QString titleSeen;
        whenDialogShows([&](QFileDialog* d) {
            parentSeen = d->parentWidget();
            titleSeen = d->windowTitle();
            d->reject();
        });
        FileDialogRequest r = strategiesRequest(m_dir.path());
        r.owner = static_cast<int64_t>(owner.winId());
        QtDialogs::runFileDialog(false, r);
        QCOMPARE(parentSeen, &owner);
        QCOMPARE(titleSeen, QStringLiteral("Select strategies file"));
    }

    void saveAddsDefaultExtension()
    {
        whenDialogShows([](QFileDialog* d) {
            typeName(d, QStringLiteral("fresh"));
            static_cast<QDialog*>(d)->accept();
        });
        const FileDialogAnswer a = QtDialogs::runFileDialog(true, strategiesRequest(m_dir.path()));
        QCOMPARE(a.result, int(FileDialogAnswer::Chosen));
        QCOMPARE(a.files, QStringList({m_dir.filePath(QStringLiteral("fresh.stg"))}));
    }

    void saveAsksBeforeReplacingAFile()
    {
        QString question;
        bool stillOpenAfterNo = false;
        whenDialogShows([&](QFileDialog* d) {
            // Answer the replace question with No; the dialog stays up.
            QTimer::singleShot(0, [&] {
                QMessageBox* box = nullptr;
                (void)QTest::qWaitFor([&] {
                    box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                    return box != nullptr;
                });
                if (box == nullptr)
                    return;
                question = box->text();
                box->button(QMessageBox::No)->click();
            });
            typeName(d, QStringLiteral("mine.stg"));
            static_cast<QDialog*>(d)->accept();
            stillOpenAfterNo = d->isVisible();
            d->reject();
        });
        const FileDialogAnswer a = QtDialogs::runFileDialog(true, strategiesRequest(m_dir.path()));
        QVERIFY2(question.contains(QStringLiteral("mine.stg")), qPrintable(question));
        QVERIFY(stillOpenAfterNo);
        QCOMPARE(a.result, int(FileDialogAnswer::Cancelled));
    }

private:
    QTemporaryDir m_dir;
};

TW_QTEST_MAIN(QtFileDialogTest)

#include "QtFileDialogTest.moc"
