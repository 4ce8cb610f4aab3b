#include "app/QtDialogs.h"

#include "app/DesktopOpen.h"
#include "app/frmErrorMessage.h"
#include "app/frmHelp.h"
#include "app/frmMessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

namespace tw {

namespace {
// The window a question belongs to, over which it is centred: the active
// one; between two windows (one just closed, the next not active yet) the
// main window rather than the middle of the screen.
QWidget* dialogOwner()
{
    if (QWidget* w = QApplication::activeModalWidget())
        return w;
    if (QWidget* w = QApplication::activeWindow())
        return w;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->objectName() == QLatin1String("frmStrategies"))
            return w;
    }
    return nullptr;
}

// A line that is a path alone is broken, where the box is too narrow for it,
// only after a "/": a blank or a hyphen inside a name would cut it where it
// reads as two words. Its blanks do not break (no-break spaces), nor does
// anything else in it (a word joiner after each character) but a "/" (a
// zero-width space after it).
QString breakPathsAtSeparators(const QString& text)
{
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        if (!line.startsWith(u'/'))
            continue;
        QString laid;
        laid.reserve(line.size() * 2);
        for (const QChar c : std::as_const(line)) {
            laid += c == u' ' ? QChar(QChar::Nbsp) : c;
            laid += c == u'/' ? QChar(0x200B) : QChar(0x2060);
        }
        line = laid;
    }
    return lines.join(u'\n');
}

} // namespace

int QtDialogs::messageBox(const QString& text, int style, const QString& title)
{
    QMessageBox box(dialogOwner());
    // Above the splash window, which start-up keeps on top while it works.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setWindowTitle(title.isEmpty() ? appTitle() : title);
    box.setText(breakPathsAtSeparators(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))));
    switch (style & Msg::IconMask) {
    case Msg::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Msg::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Msg::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Msg::Information:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    struct Choice {
        QMessageBox::StandardButton button;
        int result;
    };
    std::vector<Choice> choices;
    switch (style & Msg::ButtonsMask) {
    case Msg::OkCancel:
        choices = {{QMessageBox::Ok, Msg::Ok}, {QMessageBox::Cancel, Msg::Cancel}};
        break;
    case Msg::AbortRetryIgnore:
        choices = {{QMessageBox::Abort, Msg::Abort}, {QMessageBox::Retry, Msg::Retry}, {QMessageBox::Ignore, Msg::Ignore}};
        break;
    case Msg::YesNoCancel:
        choices = {{QMessageBox::Yes, Msg::Yes}, {QMessageBox::No, Msg::No}, {QMessageBox::Cancel, Msg::Cancel}};
        break;
    case Msg::YesNo:
        choices = {{QMessageBox::Yes, Msg::Yes}, {QMessageBox::No, Msg::No}};
        break;
    case Msg::RetryCancel:
        choices = {{QMessageBox::Retry, Msg::Retry}, {QMessageBox::Cancel, Msg::Cancel}};
        break;
    default:
        choices = {{QMessageBox::Ok, Msg::Ok}};
        break;
    }
    for (const Choice& c : choices)
        box.addButton(c.button);
    const size_t defaultIndex = static_cast<size_t>((style & Msg::DefaultMask) >> 8);
    if (defaultIndex < choices.size())
        box.setDefaultButton(choices[defaultIndex].button);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const Choice& c : choices) {
        if (c.button == clicked)
            return c.result;
    }
    // Closed without a button: the answer of the box's escape button.
    if ((style & Msg::ButtonsMask) == Msg::YesNo)
        return Msg::No;
    if ((style & Msg::ButtonsMask) == Msg::OkOnly)
        return Msg::Ok;
    if ((style & Msg::ButtonsMask) == Msg::AbortRetryIgnore)
        return Msg::Ignore;
    return Msg::Cancel;
}

QString QtDialogs::errorForm(const QString& report, const QString& supportMail)
{
    frmErrorMessage form(dialogOwner());
    form.setWindowFlag(Qt::WindowStaysOnTopHint);
    form.setErrorMessage(report);
    form.setSupportMail(supportMail);
    form.exec();
    return form.Tag();
}

bool QtDialogs::openUrl(const QUrl& url)
{
    // Qt's own call reports success as soon as the opener has started, even
    // when it then finds no program for the file; the opener's exit status
    // tells.
    const QString opener = desktopOpener();
    if (opener.isEmpty())
        return QDesktopServices::openUrl(url);
    return runDesktopOpener(opener, url);
}

bool QtDialogs::showHelp(const QUrl& page)
{
    return frmHelp::display(page) != nullptr;
}

FileDialogAnswer QtDialogs::getOpenFileName(const FileDialogRequest& request)
{
    return runFileDialog(false, request);
}

FileDialogAnswer QtDialogs::getSaveFileName(const FileDialogRequest& request)
{
    return runFileDialog(true, request);
}

void QtDialogs::beep()
{
    QApplication::beep();
}

bool QtDialogs::switchableMessage(const QString& text, const QString& id)
{
    frmMessageBox box(dialogOwner());
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setID(id);
    box.lblMessage->setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box.exec();
    return box.chkDontShow->isChecked();
}

FileDialogAnswer QtDialogs::runFileDialog(bool save, const FileDialogRequest& request)
{
    QWidget* owner = nullptr;
    if (request.owner != -1)
        owner = QWidget::find(static_cast<WId>(request.owner));
    QFileDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("FileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setWindowTitle(!request.title.isEmpty() ? request.title
                                                   : (save ? QStringLiteral("Save As") : QStringLiteral("Open")));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (request.multiSelect && !save)
        dialog.setFileMode(QFileDialog::ExistingFiles);
    else if (request.fileMustExist)
        dialog.setFileMode(QFileDialog::ExistingFile);
    else
        dialog.setFileMode(QFileDialog::AnyFile);
    // Names are matched without regard to letter case ("DEFAULT.STG" is a
    // strategies file).
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (!request.nameFilters.isEmpty()) {
        dialog.setNameFilters(request.nameFilters);
        const int index = request.selectedFilter >= 0 && request.selectedFilter < request.nameFilters.size()
                              ? request.selectedFilter
                              : 0;
        dialog.selectNameFilter(request.nameFilters.at(index));
    }
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.initialDir.isEmpty())
        dialog.setDirectory(request.initialDir);
    if (!request.initialFile.isEmpty())
        dialog.selectFile(request.initialFile);

    FileDialogAnswer answer;
    answer.readOnly = request.readOnly;
    answer.selectedFilter = request.selectedFilter;
    if (dialog.exec() != QDialog::Accepted)
        return answer;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return answer;
    answer.result = FileDialogAnswer::Chosen;
    for (const QString& f : files)
        answer.files.append(QFileInfo(f).absoluteFilePath());
    // With the patterns hidden the dialog may report the description alone.
    const QString chosenFilter = dialog.selectedNameFilter();
    for (int i = 0; i < request.nameFilters.size(); ++i) {
        const QString& f = request.nameFilters.at(i);
        if (f == chosenFilter || f.left(f.lastIndexOf(QLatin1String(" ("))).simplified() == chosenFilter) {
            answer.selectedFilter = i;
            break;
        }
    }
    return answer;
}

} // namespace tw
