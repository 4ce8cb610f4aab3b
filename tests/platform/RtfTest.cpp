// Rich Text Format in and out of a text document: the formatting and the
// code pages descriptions use, what the reader must survive, and round trips
// of the shipped descriptions and of documents edited in the box.
#include "model/StrategiesFile.h"
#include "platform/Rtf.h"

#include <QDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <gtest/gtest.h>

using namespace tw;
using namespace tw::platform;

namespace {

// What a user sees of a document: per paragraph its alignment and its runs
// with their formatting; an empty paragraph by the formatting of its mark.
QStringList signature(const QTextDocument& doc)
{
    const auto describe = [](const QTextCharFormat& f) {
        const QStringList families = f.property(QTextFormat::FontFamilies).toStringList();
        return QStringLiteral("[%1 %2%3%4%5%6 %7]")
            .arg(families.value(0))
            .arg(f.fontPointSize())
            .arg(f.fontWeight() >= QFont::DemiBold ? "b" : "")
            .arg(f.fontItalic() ? "i" : "")
            .arg(f.fontUnderline() ? "u" : "")
            .arg(f.fontStrikeOut() ? "s" : "")
            .arg(f.foreground().style() == Qt::NoBrush ? QStringLiteral("auto") : f.foreground().color().name());
    };
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QString line = QString::number(int(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask)) + QLatin1Char('|');
        if (b.text().isEmpty() && b.next().isValid())
            line += describe(b.charFormat());
        for (auto it = b.begin(); !it.atEnd(); ++it)
            line += describe(it.fragment().charFormat()) + it.fragment().text();
        out << line;
    }
    return out;
}

QTextDocument* read(const QString& rtf)
{
    auto* doc = new QTextDocument;
    readRtf(rtf, *doc);
    return doc;
}

QTextCharFormat formatAt(const QTextDocument& doc, const QString& text)
{
    const QTextCursor found = doc.find(text);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor c(found);
    c.setPosition(found.selectionStart() + 1);
    return c.charFormat();
}

} // namespace

TEST(Rtf, ReadsTheFormattingOfADescription)
{
    std::unique_ptr<QTextDocument> doc(read(QStringLiteral(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman\\fcharset0 Times New Roman;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\r\n"
        "{\\*\\generator Riched20 10.0;}\\viewkind4\\uc1\\pard\\f0\\fs18 Plain {\\b bold} {\\i italic} "
        "{\\ul under}{\\ulnone  none} \\cf1 red\\cf0  auto {\\f1\\fs28 big}\\par\r\n"
        "\\pard\\qc centred\\par\r\n\\pard\\qr\\cf2 right\\tab tab\\line line\\par\r\n}")));
    EXPECT_EQ(doc->blockCount(), 4);
    EXPECT_EQ(doc->toPlainText(), QStringLiteral("Plain bold italic under none red auto big\ncentred\nright\ttab\nline\n"));
    EXPECT_EQ(formatAt(*doc, "Plain").fontPointSize(), 9.0);
    EXPECT_EQ(formatAt(*doc, "Plain").fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_EQ(formatAt(*doc, "Plain").fontWeight(), QFont::Normal);
    EXPECT_EQ(formatAt(*doc, "bold").fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatAt(*doc, "italic").fontItalic());
    EXPECT_TRUE(formatAt(*doc, "under").fontUnderline());
    EXPECT_FALSE(formatAt(*doc, "none").fontUnderline());
    EXPECT_EQ(formatAt(*doc, "red").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatAt(*doc, "auto").foreground().style(), Qt::NoBrush);
    EXPECT_EQ(formatAt(*doc, "big").fontFamilies().toStringList(), QStringList{"Times New Roman"});
    EXPECT_EQ(formatAt(*doc, "big").fontPointSize(), 14.0);
    EXPECT_EQ(formatAt(*doc, "right").foreground().color(), QColor(0, 128, 0));
    EXPECT_EQ(doc->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(doc->findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(doc->findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

TEST(Rtf, ReadsTheCodePagesAndEscapes)
{
    // Windows-1252 bytes, \uN with its stand-in skipped, escaped braces.
    EXPECT_EQ(plainTextFromRtf(QStringLiteral("{\\rtf1 \\'80\\'93x\\'94 Caf\\'e9 \\{a\\}\\\\ \\u8364?5 \\uc2\\u945 ab!}")),
              QStringLiteral("\u20ac\u201cx\u201d Caf\u00e9 {a}\\ \u20ac5 \u03b1!"));
    // The document's code page, and a font's charset over it.
    EXPECT_EQ(plainTextFromRtf(QStringLiteral("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}")), QStringLiteral("\u041f\u0440\u0438"));
    EXPECT_EQ(plainTextFromRtf(QStringLiteral(
                  "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset238 Arial CE;}}\\f0\\'e8 {\\f1\\'e8}}")),
              QStringLiteral("\u00e8 \u010d"));
    // A raw byte of the file in a document of another code page.
    EXPECT_EQ(plainTextFromRtf(QStringLiteral("{\\rtf1\\ansicpg1251 ") + QChar(0xC0) + QStringLiteral("}")),
              QStringLiteral("\u0410"));
    // Text that is not RTF stays as it is; the old plain-text reading holds.
    EXPECT_EQ(plainTextFromRtf(QStringLiteral("plain words")), QStringLiteral("plain words"));
    EXPECT_EQ(plainTextFromRtf(QStringLiteral(
                  "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Tahoma;}}{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
                  "{\\*\\generator Riched20;}\\viewkind4\\pard\\f0\\fs16 A \\b bull\\b0  spread\\par\r\n"
                  "Caf\\'e9 \\{x\\}\\tab y\\line\\u8364?5\\par\r\n}")),
              QStringLiteral("A bull spread\nCaf\u00e9 {x}\ty\n\u20ac5"));
}

TEST(Rtf, SurvivesWhatItDoesNotKnowAndDamagedInput)
{
    // Pictures (with binary data holding braces), ignorable destinations,
    // unknown control words and symbols: skipped, the text around them kept.
    const QString rtf = QStringLiteral("{\\rtf1 one{\\pict\\pngblip\\bin4 {}}\\} two{\\*\\unknowndest zzz} "
                                       "\\frobnicate12 three\\| four}");
    EXPECT_EQ(plainTextFromRtf(rtf), QStringLiteral("one two three four"));
    // Unbalanced braces, a cut-off escape, absurd numbers: the text is read.
    const QString damaged[] = {
        QStringLiteral("{\\rtf1 {{{ deep \\b text"),
        QStringLiteral("{\\rtf1 close}}} early} text"),
        QStringLiteral("{\\rtf1 cut \\'4"),
        QStringLiteral("{\\rtf1 \\fs999999999999 \\cf77 \\f-5 \\uc-3 \\u99999999 big\\"),
        QStringLiteral("{\\rtf1{\\colortbl\\red999;}{\\fonttbl{\\f0 never closed"),
    };
    for (const QString& d : damaged) {
        QTextDocument doc;
        readRtf(d, doc);
        EXPECT_FALSE(doc.toPlainText().contains(QLatin1Char('\\'))) << d.toStdString();
    }
    EXPECT_EQ(plainTextFromRtf(damaged[0]), QStringLiteral(" deep text"));
    // Nesting far beyond any real document reads as flat text.
    EXPECT_EQ(plainTextFromRtf(QStringLiteral("{\\rtf1 ") + QString(100000, QLatin1Char('{')) + QStringLiteral("\\b x")
                               + QString(100000, QLatin1Char('}')) + QStringLiteral(" y}")),
              QStringLiteral("x y"));
    EXPECT_EQ(plainTextFromRtf(QStringLiteral("{\\rtf1 \\fs999999999999 big}")), QStringLiteral("big"));
}

TEST(Rtf, EditedDocumentsComeBackAsTheyWere)
{
    // A document as the box holds it after editing: runs of every kind of
    // formatting, an empty paragraph, alignment, characters beyond the
    // code page, and text with RTF's own special characters.
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Tahoma"), 8));
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontPointSize(12);
    c.insertText(QStringLiteral("Iron condor"), bold);
    QTextCharFormat plain;
    c.insertText(QStringLiteral(" \u2014 four legs {wide} \\ C:\\path\t\u03b1\u00e9\u20ac"), plain);
    QTextCharFormat red;
    red.setForeground(QColor(200, 0, 0));
    red.setFontItalic(true);
    red.setFontUnderline(true);
    red.setFontStrikeOut(true);
    red.setFontFamilies({QStringLiteral("Courier New")});
    c.insertText(QStringLiteral(" risk"), red);
    c.insertBlock();
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.insertBlock(centred);
    c.insertText(QStringLiteral("centre") + QChar(QChar::LineSeparator) + QStringLiteral("next line"), plain);

    const QString once = writeRtf(doc);
    EXPECT_TRUE(once.startsWith(QLatin1String("{\\rtf1\\ansi\\ansicpg1252")));
    for (const QChar ch : once)
        ASSERT_LT(ch.unicode(), 128) << "the writer puts down 7-bit text only";
    std::unique_ptr<QTextDocument> back(read(once));
    EXPECT_EQ(back->toPlainText(), doc.toPlainText());
    EXPECT_EQ(formatAt(*back, "Iron").fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(*back, "Iron").fontPointSize(), 12.0);
    EXPECT_EQ(formatAt(*back, "four").fontFamilies().toStringList(), QStringList{"Tahoma"});
    EXPECT_EQ(formatAt(*back, "risk").foreground().color(), QColor(200, 0, 0));
    EXPECT_TRUE(formatAt(*back, "risk").fontStrikeOut());
    EXPECT_EQ(back->findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    // Written again, the document gives the same RTF: nothing drifts.
    EXPECT_EQ(writeRtf(*back).toStdString(), once.toStdString());
}

TEST(Rtf, ShippedDescriptionsReadWriteAndReadAgainToTheSameDocument)
{
    const auto library = readStrategiesFile(QDir(QStringLiteral(TW_DATA_DIR)).filePath(QStringLiteral("DEFAULT.STG")));
    QStringList descriptions;
    for (const auto& group : *library) {
        descriptions << group->Description();
        for (const auto& strategy : *group->Strategies())
            descriptions << strategy->Description();
    }
    ASSERT_GT(descriptions.size(), 30);
    for (const QString& rtf : descriptions) {
        std::unique_ptr<QTextDocument> first(read(rtf));
        const QString written = writeRtf(*first);
        std::unique_ptr<QTextDocument> second(read(written));
        ASSERT_EQ(signature(*second), signature(*first)) << rtf.toStdString();
        EXPECT_EQ(writeRtf(*second), written);
        // The caption in bold, the paragraphs in 9-point Arial.
        EXPECT_EQ(first->begin().begin().fragment().charFormat().fontWeight(), QFont::Bold);
        EXPECT_EQ(first->begin().begin().fragment().charFormat().fontPointSize(), 9.0);
    }
}

namespace {

QString familyAt(const QTextDocument& doc, const QString& text)
{
    return formatAt(doc, text).fontFamilies().toStringList().value(0);
}

// Fonts named in their own charsets: every byte escaped, trail bytes as
// they are, the raw bytes of a file read as Windows-1252, and \uN.
QString eastAsianFonts()
{
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl"
                          "{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}"
                          "{\\f1\\fnil\\fcharset128 \\'82l\\'82r Gothic;}"
                          "{\\f2\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
                          "{\\f5\\fnil\\fcharset204 \\'ca\\'e8\\'f0\\'e8\\'eb\\'eb\\'e8\\'f6\\'e0;}"
                          "{\\f6\\fnil\\fcharset0 \\u20013?\\u25991? Sans;}"
                          "{\\f7\\fnil\\fcharset128 ")
        + QChar(0x201A) + QStringLiteral("l") + QChar(0x201A)
        + QStringLiteral("r Mincho;}}\\f0\\fs18 a{\\f1 b}{\\f2 c}{\\f5 f}{\\f6 g}{\\f7 h}"
                         "{\\f0 \\'82\\'a0\\'83S\\'95\\\\x}\\par\r\n}");
}

const std::pair<const char*, QString> kEastAsianFamilies[] = {
    {"a", QStringLiteral("\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF")},
    {"b", QStringLiteral("\uFF2D\uFF33 Gothic")},
    {"c", QStringLiteral("\u5B8B\u4F53")},
    {"f", QStringLiteral("\u041A\u0438\u0440\u0438\u043B\u043B\u0438\u0446\u0430")},
    {"g", QStringLiteral("\u4E2D\u6587 Sans")},
    {"h", QStringLiteral("\uFF2D\uFF33 Mincho")},
};

} // namespace

TEST(Rtf, FontNamesAreReadInTheirOwnCharset)
{
    std::unique_ptr<QTextDocument> doc(read(eastAsianFonts()));
    for (const auto& [text, family] : kEastAsianFamilies)
        EXPECT_EQ(familyAt(*doc, QLatin1String(text)).toStdString(), family.toStdString()) << text;
    // Text in such a font, a trail byte written as it is (even "\\").
    EXPECT_TRUE(doc->toPlainText().endsWith(QStringLiteral("\u3042\u30B4\u8868x\n"))) << doc->toPlainText().toStdString();
}

TEST(Rtf, FontNamesAndTheirCharsetsSurviveAnEdit)
{
    std::unique_ptr<QTextDocument> doc(read(eastAsianFonts()));
    QTextCursor c(doc.get());
    c.movePosition(QTextCursor::End);
    c.movePosition(QTextCursor::PreviousBlock);
    c.movePosition(QTextCursor::EndOfBlock);
    // Typed in the Japanese font: Latin-1 letters must not become bytes of
    // its code page.
    c.insertText(QStringLiteral(" caf\u00e9 \u00ff"));
    QTextCharFormat unheld;
    unheld.setFontFamilies({QStringLiteral("\u00d1ame \u4E2D \U0001F642;{x}")});
    unheld.setFontPointSize(10);
    c.insertText(QStringLiteral(" z"), unheld);

    const QString once = writeRtf(*doc);
    for (const QChar ch : once)
        ASSERT_LT(ch.unicode(), 128) << "the writer puts down 7-bit text only";
    EXPECT_TRUE(once.contains(QStringLiteral("\\fcharset128 \\'82l\\'82r \\'83S\\'83V"))) << once.toStdString();
    std::unique_ptr<QTextDocument> back(read(once));
    EXPECT_EQ(back->toPlainText(), doc->toPlainText());
    for (const auto& [text, family] : kEastAsianFamilies)
        EXPECT_EQ(familyAt(*back, QLatin1String(text)).toStdString(), family.toStdString()) << text;
    EXPECT_EQ(familyAt(*back, QStringLiteral(" z")), QStringLiteral("\u00d1ame \u4E2D \U0001F642;{x}"));
    EXPECT_EQ(signature(*back).join('\n').toStdString(), signature(*doc).join('\n').toStdString());
    EXPECT_EQ(writeRtf(*back).toStdString(), once.toStdString());
}

TEST(Rtf, ControlCharactersAndTheObjectMarkSurviveAnEdit)
{
    EXPECT_EQ(plainTextFromRtf(QStringLiteral("{\\rtf1 x\\u7?y\\u-4?z}")),
              QStringLiteral("x") + QChar(7) + QStringLiteral("y") + QChar(0xFFFC) + QStringLiteral("z"));
    QTextDocument doc;
    QTextCursor c(&doc);
    const QString text = QStringLiteral("a") + QChar(0x01) + QStringLiteral("b") + QChar(0x1F) + QChar(0x7F)
                         + QChar(0x85) + QStringLiteral("c") + QChar(0xFFFC) + QStringLiteral("d") + QChar(0x1B);
    c.insertText(text);
    const QString once = writeRtf(doc);
    std::unique_ptr<QTextDocument> back(read(once));
    EXPECT_EQ(back->toPlainText(), text);
    EXPECT_EQ(writeRtf(*back), once);
}
