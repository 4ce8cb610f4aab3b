// The switchable message box: the window itself (its check box stores the
// choice at every click, OK ends it, Enter confirms), the real dialogs
// showing it modally, and ShowMessageOnce remembering "show this message in
// the future" per message identifier; and the plain message box, which
// breaks a path on a line of its own only after its separators.
#include "app/CAppSettings.h"
#include "app/QtDialogs.h"
#include "app/Tools.h"
#include "app/frmMessageBox.h"
#include "support/QtTestMain.h"
#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QTextBoundaryFinder>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace tw;

namespace {

const QString kSettings = QStringLiteral("Settings");

QVariant stored(const QString& id)
{
    return appSettings().GetSetting(kSettings, QStringLiteral("ShowErrorMesssage") + id, QVariant());
}

void forget(const QString& id)
{
    if (stored(id).isValid())
        appSettings().DeleteSetting(kSettings, QStringLiteral("ShowErrorMesssage") + id);
}

} // namespace

class MessageBoxTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        for (const char* id : {"INVDATA", "INETFAIL", "SRCHFAIL", "X"})
            forget(QLatin1String(id));
    }

    void windowStoresTheChoiceAtEveryClick()
    {
        frmMessageBox box;
        box.setID(QStringLiteral("INETFAIL"));
        QCOMPARE(box.windowTitle(), QStringLiteral("Information"));
        QCOMPARE(box.Label1->text(),
                 QStringLiteral("Please check our website for software updates if the problem persists"));
        QCOMPARE(box.chkDontShow->text(), QStringLiteral("show this message in the future"));
        QVERIFY(box.chkDontShow->isChecked());
        QVERIFY(box.lblMessage->font().bold());
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(QApplication::focusWidget(), box.cmdOK);

        QTest::mouseClick(box.chkDontShow, Qt::LeftButton);
        QCOMPARE(stored(QStringLiteral("INETFAIL")), QVariant(0));
        QTest::mouseClick(box.chkDontShow, Qt::LeftButton);
        QCOMPARE(stored(QStringLiteral("INETFAIL")), QVariant(1));
        QTest::mouseClick(box.chkDontShow, Qt::LeftButton);
        // Enter confirms: the window goes, the choice stays.
        QTest::keyClick(&box, Qt::Key_Return);
        QVERIFY(!box.isVisible());
        QCOMPARE(stored(QStringLiteral("INETFAIL")), QVariant(0));

        // Another window for the same message starts from the choice.
        frmMessageBox again;
        again.setID(QStringLiteral("INETFAIL"));
        QVERIFY(!again.chkDontShow->isChecked());
        // A value that is no number keeps the message shown.
        appSettings().SaveSetting(kSettings, QStringLiteral("ShowErrorMesssageX"), QStringLiteral("garbage"));
        again.setID(QStringLiteral("X"));
        QVERIFY(again.chkDontShow->isChecked());
    }

    void realDialogsShowTheWindowModally()
    {
        QtDialogs real;
        bool shown = false;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<frmMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            shown = true;
            QCOMPARE(box->lblMessage->text(), QStringLiteral("Can't download data.\nCheck it."));
            QTest::mouseClick(box->chkDontShow, Qt::LeftButton);
            QTest::mouseClick(box->cmdOK, Qt::LeftButton);
        });
        const bool keep = real.switchableMessage(QStringLiteral("Can't download data.\r\nCheck it."),
                                                 QStringLiteral("INVDATA"));
        QVERIFY(shown);
        QVERIFY(!keep);
        QCOMPARE(stored(QStringLiteral("INVDATA")), QVariant(0));
    }

    void aPathOnALineOfItsOwnIsBrokenOnlyAfterItsSeparators()
    {
        const QString path = QStringLiteral("/folder-name with blanks/Unsaved strategies 2026-01-02 03-04-05.stg");
        QString line;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            line = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->text().split(u'\n').value(1);
            box->accept();
        });
        QtDialogs().messageBox(QStringLiteral("They were kept in\r\n%1\r\n\r\nOpen them.").arg(path),
                               Msg::OkOnly | Msg::Information, QStringLiteral("Tarnwell"));
        // Every place the line may break at lies after a "/".
        QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, line);
        for (qsizetype at = breaks.toNextBoundary(); at > 0 && at < line.size(); at = breaks.toNextBoundary())
            QVERIFY2(line.left(at).endsWith(QStringLiteral("/\u200B")), qPrintable(line.left(at)));
        QCOMPARE(line.remove(QChar(0x200B)).remove(QChar(0x2060)).replace(QChar(QChar::Nbsp), u' '), path);
    }

    void showMessageOnceRemembersPerIdentifier()
    {
        test::ScriptedDialogs dialogs;
        // First time: a beep and the message.
        ShowMessageOnce(QStringLiteral("Invalid data format.\r\nCheck the ticker, please."), QStringLiteral("INVDATA"));
        QCOMPARE(dialogs.beeps, 1);
        QCOMPARE(dialogs.switchableMessages.size(), 1);
        QCOMPARE(dialogs.switchableMessages.first().id, QStringLiteral("INVDATA"));
        QCOMPARE(dialogs.switchableMessages.first().text,
                 QStringLiteral("Invalid data format.\r\nCheck the ticker, please."));

        // The user clears the box: from now on only the beep.
        dialogs.switchableAnswers.push_back(false);
        ShowMessageOnce(QStringLiteral("again"), QStringLiteral("INVDATA"));
        QCOMPARE(stored(QStringLiteral("INVDATA")), QVariant(0));
        ShowMessageOnce(QStringLiteral("silenced"), QStringLiteral("INVDATA"));
        QCOMPARE(dialogs.beeps, 3);
        QCOMPARE(dialogs.switchableMessages.size(), 2);

        // Other messages are not affected.
        ShowMessageOnce(QStringLiteral("other"), QStringLiteral("INETFAIL"));
        QCOMPARE(dialogs.switchableMessages.size(), 3);
        QCOMPARE(dialogs.switchableMessages.last().id, QStringLiteral("INETFAIL"));

        // Setting the value to 1 again brings the message back.
        appSettings().SaveSetting(kSettings, QStringLiteral("ShowErrorMesssageINVDATA"), 1);
        ShowMessageOnce(QStringLiteral("back"), QStringLiteral("INVDATA"));
        QCOMPARE(dialogs.switchableMessages.size(), 4);
        QCOMPARE(dialogs.switchableMessages.last().text, QStringLiteral("back"));
        QCOMPARE(dialogs.beeps, 5);
    }
};

TW_QTEST_MAIN(MessageBoxTest)
#include "MessageBoxTest.moc"
