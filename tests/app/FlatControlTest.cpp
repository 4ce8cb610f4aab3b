// The flat look of a combo box and of a text box, read off the pixels the
// control shows: the border in the button face while idle, a sunken frame on
// hover and focus (gone at the first timer tick after the mouse left), the
// drop-down button raised, sunken while the list is open, plain when the
// control is disabled; a second Attach lets go of the first control.
#include "app/TwError.h"
#include "app/cFlatControl.h"
#include "support/QtTestMain.h"

#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QStyle>
#include <QtTest>

using namespace tw;

namespace {

const QColor kFace(0x10, 0x20, 0x30);
const QColor kShadow(0x40, 0x50, 0x60);
const QColor kLight(0xE0, 0xF0, 0xD0);
const QColor kWindow(0xFF, 0xFF, 0xFF);

QPalette lookPalette()
{
    QPalette p;
    p.setColor(QPalette::Button, kFace);
    p.setColor(QPalette::Dark, kShadow);
    p.setColor(QPalette::Light, kLight);
    p.setColor(QPalette::Base, kWindow);
    return p;
}

QColor pixel(QWidget* w, QPoint at)
{
    return w->grab().toImage().pixelColor(at);
}

} // namespace

class FlatControlTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_form;
    QComboBox* m_combo = nullptr;
    QLineEdit* m_text = nullptr;
    QLineEdit* m_other = nullptr;

    // The drop-down button's outer corner: inside the two frame lines, at
    // the left edge of the button's area.
    QPoint buttonCorner() const
    {
        const int offset = m_combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_combo);
        return QPoint(m_combo->width() - 2 - offset, 2);
    }

private slots:
    void init()
    {
        m_form = std::make_unique<QWidget>();
        m_form->setPalette(lookPalette());
        m_form->resize(400, 200);
        m_combo = new QComboBox(m_form.get());
        m_combo->addItems({QStringLiteral("Profit/Loss"), QStringLiteral("Position worth")});
        m_combo->setGeometry(20, 20, 180, 26);
        m_text = new QLineEdit(m_form.get());
        m_text->setGeometry(20, 80, 120, 24);
        m_other = new QLineEdit(m_form.get());
        m_other->setGeometry(20, 140, 120, 24);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        // The attached controls start without the focus and the mouse.
        m_form->activateWindow();
        m_other->setFocus();
        QTRY_VERIFY(m_other->hasFocus());
        QCursor::setPos(m_form->mapToGlobal(QPoint(390, 190)));
    }
    void cleanup() { m_form.reset(); }

    void comboIsFlatWhileIdleAndSunkenWithTheFocus()
    {
        cFlatControl flat;
        flat.Attach(m_combo);
        QVERIFY(flat.isCombo());
        QCOMPARE(pixel(m_combo, QPoint(0, 0)), kFace);
        QCOMPARE(pixel(m_combo, QPoint(m_combo->width() - 1, m_combo->height() - 1)), kFace);
        QCOMPARE(flat.drawnState(), int(cFlatControl::StateNormal));
        // Idle: a light line along the button's top, the window colour just
        // left of it.
        QCOMPARE(pixel(m_combo, buttonCorner() + QPoint(2, 0)), kLight);
        QCOMPARE(pixel(m_combo, buttonCorner() + QPoint(0, 3)), kWindow);

        m_form->activateWindow();
        m_combo->setFocus();
        QTRY_VERIFY(m_combo->hasFocus());
        QCOMPARE(pixel(m_combo, QPoint(0, 0)), kShadow);
        QCOMPARE(pixel(m_combo, QPoint(m_combo->width() - 1, m_combo->height() - 1)), kLight);
        QCOMPARE(flat.drawnState(), int(cFlatControl::StateHot));
        // Hot: the button raised, its right edge in the shadow colour.
        QCOMPARE(pixel(m_combo, QPoint(m_combo->width() - 3, m_combo->height() / 2)), kShadow);

        m_other->setFocus();
        QTRY_VERIFY(m_other->hasFocus());
        QCOMPARE(pixel(m_combo, QPoint(0, 0)), kFace);
    }

    void hoverShowsTheFrameUntilTheMouseHasLeft()
    {
        cFlatControl flat;
        flat.Attach(m_combo);
        QCursor::setPos(m_combo->mapToGlobal(QPoint(10, 10)));
        QTest::mouseMove(m_combo, QPoint(10, 10));
        QCOMPARE(pixel(m_combo, QPoint(0, 0)), kShadow);
        // Still over it after many ticks of the 10 ms timer.
        QTest::qWait(60);
        QCOMPARE(pixel(m_combo, QPoint(0, 0)), kShadow);
        // The first tick after it left brings the idle look back.
        QCursor::setPos(m_form->mapToGlobal(QPoint(390, 190)));
        QTRY_COMPARE_WITH_TIMEOUT(pixel(m_combo, QPoint(0, 0)), kFace, 500);
    }

    void openListSinksTheButton()
    {
        cFlatControl flat;
        flat.Attach(m_combo);
        QVERIFY(!flat.DroppedDown());
        m_combo->showPopup();
        QTRY_VERIFY(flat.DroppedDown());
        m_combo->repaint();
        QCOMPARE(flat.drawnState(), int(cFlatControl::StatePressed));
        // Sunken: the shadow along the button's top.
        QCOMPARE(pixel(m_combo, buttonCorner() + QPoint(2, 0)), kShadow);
        m_combo->hidePopup();
        QTRY_VERIFY(!flat.DroppedDown());
        m_combo->repaint();
        QVERIFY(flat.drawnState() != int(cFlatControl::StatePressed));
    }

    void disabledControlShowsNoState()
    {
        cFlatControl flat;
        m_combo->setEnabled(false);
        flat.Attach(m_combo);
        // The inner frame line in the highlight, no button line.
        QCOMPARE(pixel(m_combo, QPoint(1, 1)), kLight);
        QVERIFY(pixel(m_combo, buttonCorner() + QPoint(2, 0)) == kFace);
    }

    void textBoxMovesInAndGetsAFrameAround()
    {
        cFlatControl flat;
        flat.Attach(m_text);
        QVERIFY(!flat.isCombo());
        QCOMPARE(m_text->geometry(), QRect(22, 82, 116, 20));
        // The frame lies in the form, 2 pixels around the box.
        QCOMPARE(pixel(m_form.get(), QPoint(20, 80)), kFace);
        m_form->activateWindow();
        m_text->setFocus();
        QTRY_VERIFY(m_text->hasFocus());
        QCOMPARE(pixel(m_form.get(), QPoint(20, 80)), kShadow);
        QCOMPARE(pixel(m_form.get(), QPoint(139, 103)), kLight);
        // With the focus, three highlight lines inside the box's border.
        QCOMPARE(pixel(m_text, QPoint(0, 0)), kLight);
        QCOMPARE(pixel(m_text, QPoint(2, 2)), kLight);
    }

    void secondAttachLetsGoOfTheFirst()
    {
        cFlatControl flat;
        flat.Attach(m_combo);
        flat.Attach(m_text);
        m_form->activateWindow();
        m_combo->setFocus();
        QTRY_VERIFY(m_combo->hasFocus());
        // The combo box is back to its own look: no shadow corner drawn.
        QVERIFY(pixel(m_combo, QPoint(0, 0)) != kShadow);
        // The text box is the one with the flat look now.
        QCOMPARE(pixel(m_form.get(), QPoint(20, 80)), kFace);
    }

    void attachingNothingIsRefused()
    {
        cFlatControl flat;
        try {
            flat.Attach(nullptr);
            QFAIL("no error");
        } catch (const TwError& e) {
            QCOMPARE(e.number(), cFlatControl::ErrIncorrectControl);
            QVERIFY(e.source().endsWith(QLatin1String(".cFlatControl")));
            QCOMPARE(e.description(), QStringLiteral("Incorrect control type passed to 'Attach' parameter - must "
                                                     "be a control with a hWnd property."));
        }
    }
};

TW_QTEST_MAIN(FlatControlTest)
#include "FlatControlTest.moc"
