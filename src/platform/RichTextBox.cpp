#include "platform/RichTextBox.h"

#include "platform/InputCodes.h"
#include "platform/Rtf.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace tw::platform {

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent)
{
    setAcceptRichText(true);
}

QString RichTextBox::TextRTF() const
{
    if (!document()->isModified() && isRtf(m_loadedRtf))
        return m_loadedRtf;
    return writeRtf(*document());
}

void RichTextBox::setTextRTF(const QString& rtf)
{
    const QSignalBlocker quiet(this);
    QTextDocument* doc = document();
    doc->setUndoRedoEnabled(false);
    readRtf(rtf, *doc);
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    m_loadedRtf = rtf;
    QTextCursor start(doc);
    setTextCursor(start);
    // Typing at the start takes the formatting of the first character.
    if (doc->firstBlock().begin() != doc->firstBlock().end())
        setCurrentCharFormat(doc->firstBlock().begin().fragment().charFormat());
}

int RichTextBox::SelLength() const
{
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

QMimeData* RichTextBox::createMimeDataFromSelection() const
{
    const QTextDocumentFragment fragment = textCursor().selection();
    QTextDocument selection;
    selection.setDefaultFont(document()->defaultFont());
    QTextCursor(&selection).insertFragment(fragment);
    auto* data = new QMimeData;
    data->setData(rtfMimeTypes().first(), writeRtf(selection).toLatin1());
    data->setHtml(fragment.toHtml());
    data->setText(fragment.toPlainText());
    return data;
}

bool RichTextBox::canInsertFromMimeData(const QMimeData* source) const
{
    return mimeHoldsRtf(source) || QTextEdit::canInsertFromMimeData(source);
}

void RichTextBox::insertFromMimeData(const QMimeData* source)
{
    const QString rtf = rtfFromMime(source);
    if (rtf.isEmpty()) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    QTextDocument pasted;
    pasted.setDefaultFont(document()->defaultFont());
    readRtf(rtf, pasted);
    // A document ends with a paragraph mark; pasted into the text it would
    // add an empty line.
    QTextCursor tail(&pasted);
    tail.movePosition(QTextCursor::End);
    if (pasted.blockCount() > 1 && tail.block().text().isEmpty()) {
        tail.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
        tail.removeSelectedText();
    }
    textCursor().insertFragment(QTextDocumentFragment(&pasted));
    ensureCursorVisible();
}

void RichTextBox::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
}

void RichTextBox::mouseReleaseEvent(QMouseEvent* event)
{
    QTextEdit::mouseReleaseEvent(event);
    const QPoint p = viewport()->mapTo(this, event->position().toPoint());
    const double dpiX = logicalDpiX() > 0 ? logicalDpiX() : 96.0;
    const double dpiY = logicalDpiY() > 0 ? logicalDpiY() : 96.0;
    emit MouseUp(mouseButtonCode(event->button()), shiftState(event->modifiers()), p.x() * 1440.0 / dpiX,
                 p.y() * 1440.0 / dpiY);
}

void RichTextBox::keyPressEvent(QKeyEvent* event)
{
    if (!isReadOnly() && event->modifiers() == Qt::ControlModifier
        && (event->key() == Qt::Key_B || event->key() == Qt::Key_I || event->key() == Qt::Key_U)) {
        const QTextCharFormat current = currentCharFormat();
        QTextCharFormat change;
        if (event->key() == Qt::Key_B)
            change.setFontWeight(current.fontWeight() >= QFont::DemiBold ? QFont::Normal : QFont::Bold);
        else if (event->key() == Qt::Key_I)
            change.setFontItalic(!current.fontItalic());
        else
            change.setFontUnderline(!current.fontUnderline());
        mergeCurrentCharFormat(change);
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

} // namespace tw::platform
