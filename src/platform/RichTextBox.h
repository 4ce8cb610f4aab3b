#pragma once
// The rich-text box: a text box whose content is formatted text and is read
// and set as Rich Text Format (TextRTF). Cut, copy and paste carry RTF
// through the clipboard ("text/rtf", with plain text and HTML beside it for
// other programs); pasted RTF, HTML or plain text is taken in that order.
// Ctrl+B, Ctrl+I and Ctrl+U switch bold, italic and underline of the
// selection, as in every rich-text box.
//
// The box hands back the RTF it was given, unchanged, for as long as its
// content is not edited, so that looking at a description never rewrites it.
//
// A right click shows no menu of the box's own: the owner gets MouseUp and
// shows its menu.

#include <QTextEdit>

namespace tw::platform {

class RichTextBox : public QTextEdit {
    Q_OBJECT
public:
    explicit RichTextBox(QWidget* parent = nullptr);

    // The content as RTF: the text last set while nothing was edited since,
    // else the RTF of the edited document.
    QString TextRTF() const;
    // Replaces the content (no change signal; the undo history starts anew).
    void setTextRTF(const QString& rtf);
    // The length of the selection in characters.
    int SelLength() const;

signals:
    // Button code (1 left, 2 right, 4 middle), shift bits, and the position
    // in twips relative to this widget.
    void MouseUp(int button, int shift, double x, double y);

protected:
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_loadedRtf;
};

} // namespace tw::platform
