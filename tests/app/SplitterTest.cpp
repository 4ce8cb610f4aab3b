#include "app/Convert.h"
#include "app/TwError.h"
#include "app/cSplitter.h"
#include "support/QtTestMain.h"

#include <QFrame>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace tw;

namespace {

double tpp()
{
    return twipsPerPixel(screenLogicalDpi());
}

// A window that carries one bar the way the main window carries its five:
// during a drag its own mouse-move and mouse-up pass the pointer on.
class Owner : public QWidget {
public:
    explicit Owner(int32_t orientation = cSplitter::Vertical)
    {
        resize(600, 400);
        bar = new QFrame(this);
        bar->setObjectName(QStringLiteral("picBar"));
        if (orientation == cSplitter::Horizontal)
            bar->setGeometry(0, 200, 600, 5);
        else
            bar->setGeometry(200, 0, 5, 400);
        split = std::make_unique<cSplitter>();
        split->Initialise(bar, this);
        split->setOrientation(orientation);
    }
    ~Owner() override { split.reset(); }

    float along(const QMouseEvent* e) const
    {
        return static_cast<float>(
            twipsFromPixels(split->Orientation() == cSplitter::Horizontal ? e->position().y() : e->position().x()));
    }

    QFrame* bar = nullptr;
    std::unique_ptr<cSplitter> split;
    bool ignoreRelease = false;
    QList<float> released; // positions MouseUp handed back

protected:
    void mouseMoveEvent(QMouseEvent* e) override { split->MouseMove(along(e)); }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (ignoreRelease || e->button() == Qt::RightButton)
            return;
        float pos = along(e);
        if (split->MouseUp(pos))
            released.append(pos);
    }
};

bool looksAtRest(const QFrame* bar)
{
    return bar->backgroundRole() == QPalette::Button && bar->frameStyle() == QFrame::NoFrame;
}

bool looksDragged(const QFrame* bar)
{
    return bar->backgroundRole() == QPalette::Dark && bar->frameStyle() == (QFrame::Box | QFrame::Plain);
}

// The bar's index among its siblings: the last one is in front.
bool inFront(const QWidget* w)
{
    return w->parentWidget()->children().last() == w;
}

} // namespace

class SplitterTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(QApplication::overrideCursor() == nullptr); }
    void cleanup()
    {
        // No test may leave a grab or a pointer override behind.
        QVERIFY(QWidget::mouseGrabber() == nullptr);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void initialiseAndOrientation()
    {
        cSplitter s;
        QCOMPARE(s.Orientation(), cSplitter::Vertical);
        QCOMPARE(s.BorderSize(), 0);

        QWidget owner;
        auto* sibling = new QWidget(&owner);
        auto* bar = new QFrame(&owner);
        bar->setFrameStyle(QFrame::Box);
        bar->hide();
        new QWidget(&owner);
        s.Initialise(bar, &owner);
        QVERIFY(looksAtRest(bar));
        QVERIFY(!bar->isHidden());
        QVERIFY(owner.children().first() == bar); // sent to the back
        Q_UNUSED(sibling);
        QCOMPARE(bar->cursor().shape(), Qt::SizeHorCursor);
        s.setOrientation(cSplitter::Horizontal);
        QCOMPARE(s.Orientation(), 1);
        QCOMPARE(bar->cursor().shape(), Qt::SizeVerCursor);
        s.setOrientation(5); // any other value is a vertical bar
        QCOMPARE(bar->cursor().shape(), Qt::SizeHorCursor);

        // The orientation set first is honoured by the bar's pointer too.
        cSplitter early;
        early.setOrientation(cSplitter::Horizontal);
        auto* bar2 = new QFrame(&owner);
        early.Initialise(bar2, &owner);
        QCOMPARE(bar2->cursor().shape(), Qt::SizeVerCursor);
    }

    void dragThroughTheInterface()
    {
        Owner o;
        o.show();
        QVERIFY(QTest::qWaitForWindowExposed(&o));
        int doSplit = 0;
        connect(o.split.get(), &cSplitter::DoSplit, this, [&](bool&) { ++doSplit; });
        QSignalSpy complete(o.split.get(), &cSplitter::SplitComplete);
        const int height = o.bar->height();

        o.split->MouseDown(45.5f);
        QCOMPARE(doSplit, 1);
        QVERIFY(o.split->isDragging());
        QCOMPARE(o.split->grabOffset(), 46);
        QVERIFY(looksDragged(o.bar));
        QVERIFY(inFront(o.bar));
        QCOMPARE(o.bar->width(), 4);
        QCOMPARE(o.bar->height(), height);
        QCOMPARE(QWidget::mouseGrabber(), &o);

        // The bar's edge follows the pointer exactly, inside the owner only.
        const double extent = 600 * tpp();
        o.split->MouseMove(static_cast<float>(300 * tpp()));
        QCOMPARE(o.bar->x(), 300);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::SizeHorCursor);
        o.split->MouseMove(0.0f);
        QCOMPARE(o.bar->x(), 300);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ForbiddenCursor);
        o.split->MouseMove(static_cast<float>(extent));
        QCOMPARE(o.bar->x(), 300);
        o.split->MouseMove(static_cast<float>(10 * tpp()));
        QCOMPARE(o.bar->x(), 10);
        QCOMPARE(complete.count(), 0);

        // Released beyond the owner: clamped to its extent less the offset.
        float pos = static_cast<float>(extent + 5000);
        QVERIFY(o.split->MouseUp(pos));
        QCOMPARE(pos, static_cast<float>(extent - 46));
        QCOMPARE(o.bar->x(), pixelsFromTwips(extent - 46));
        QCOMPARE(complete.count(), 1);
        QVERIFY(!o.split->isDragging());
        QVERIFY(looksAtRest(o.bar));
        QVERIFY(o.bar->parentWidget()->children().first() == o.bar);
        QCOMPARE(o.bar->width(), 4); // the drag's thickness stays

        // Idle again: moves and releases do nothing.
        float untouched = 1234.0f;
        QVERIFY(!o.split->MouseUp(untouched));
        QCOMPARE(untouched, 1234.0f);
        o.split->MouseMove(static_cast<float>(100 * tpp()));
        QCOMPARE(o.bar->x(), pixelsFromTwips(extent - 46));
        QCOMPARE(complete.count(), 1);
    }

    void grabOffsetRoundsHalvesToEven()
    {
        Owner o;
        o.show();
        o.split->MouseDown(44.5f);
        QCOMPARE(o.split->grabOffset(), 44);
        float pos = 3000.0f;
        QVERIFY(o.split->MouseUp(pos));
        QCOMPARE(pos, 2956.0f);
    }

    void borderSizeLimits()
    {
        Owner o(cSplitter::Horizontal);
        o.show();
        o.split->setBorderSize(300);
        const int left = o.bar->x();
        o.split->MouseDown(30.0f);
        QCOMPARE(o.bar->height(), 4);
        o.split->MouseMove(300.0f); // on the margin: refused
        QCOMPARE(o.bar->y(), 200);
        o.split->MouseMove(static_cast<float>(20 * tpp()) + 300.0f);
        QCOMPARE(o.bar->y(), pixelsFromTwips(20 * tpp() + 300));
        QCOMPARE(o.bar->x(), left);
        float pos = 10.0f; // below the margin: the margin, less the offset
        QVERIFY(o.split->MouseUp(pos));
        QCOMPARE(pos, 270.0f);
        QCOMPARE(o.bar->y(), pixelsFromTwips(270));
    }

    void refusedDrag()
    {
        Owner o;
        o.show();
        connect(o.split.get(), &cSplitter::DoSplit, o.split.get(), [](bool& bSplit) { bSplit = false; });
        QSignalSpy complete(o.split.get(), &cSplitter::SplitComplete);
        const QRect before = o.bar->geometry();
        o.split->MouseDown(10.0f);
        QVERIFY(!o.split->isDragging());
        QVERIFY(QWidget::mouseGrabber() == nullptr);
        QVERIFY(looksAtRest(o.bar));
        o.split->MouseMove(static_cast<float>(100 * tpp()));
        float pos = 500.0f;
        QVERIFY(!o.split->MouseUp(pos));
        QCOMPARE(o.bar->geometry(), before);
        QCOMPARE(complete.count(), 0);
    }

    void failuresAreComponentErrors()
    {
        cSplitter s;
        try {
            s.MouseDown(1.0f);
            QFAIL("no error raised");
        } catch (const TwError& e) {
            QCOMPARE(e.number(), ComponentFailureNumber);
            QCOMPARE(e.source(), QStringLiteral("Tarnwell.cSplitter.MouseDown"));
            QCOMPARE(e.description(), QStringLiteral("cSplitter component failure"));
        }
        QWidget owner;
        try {
            s.Initialise(nullptr, &owner);
            QFAIL("no error raised");
        } catch (const TwError& e) {
            QCOMPARE(e.source(), QStringLiteral("Tarnwell.cSplitter.Initialise"));
        }
        // A bar that went away mid-drag fails cleanly instead of crashing.
        auto* bar = new QFrame(&owner);
        s.Initialise(bar, &owner);
        s.MouseDown(1.0f);
        delete bar;
        float pos = 100.0f;
        QVERIFY_THROWS_EXCEPTION(TwError, s.MouseUp(pos));
        QVERIFY(!s.isDragging()); // abandoned, not left half-running
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void leftButtonDragsWithTheMouse()
    {
        Owner o;
        o.show();
        QVERIFY(QTest::qWaitForWindowExposed(&o));
        QSignalSpy complete(o.split.get(), &cSplitter::SplitComplete);
        QWindow* w = o.windowHandle();

        QTest::mousePress(w, Qt::LeftButton, {}, QPoint(202, 100));
        QVERIFY(o.split->isDragging());
        QCOMPARE(o.split->grabOffset(), static_cast<int32_t>(roundHalfEven(2 * tpp())));
        QCOMPARE(QWidget::mouseGrabber(), &o);
        QTest::mouseMove(w, QPoint(350, 120));
        QCOMPARE(o.bar->x(), 350);
        // The right button's release does not end the drag.
        QTest::mousePress(w, Qt::RightButton, Qt::NoModifier, QPoint(350, 120));
        QTest::mouseRelease(w, Qt::RightButton, {}, QPoint(350, 120));
        QVERIFY(o.split->isDragging());
        QTest::qWait(250);
        QVERIFY(o.split->isDragging());
        QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(360, 120));
        QVERIFY(!o.split->isDragging());
        QCOMPARE(complete.count(), 1);
        QCOMPARE(o.released.size(), 1);
        QCOMPARE(o.bar->x(), pixelsFromTwips(360 * tpp() - o.split->grabOffset()));
        QVERIFY(QWidget::mouseGrabber() == nullptr);
    }

    void otherButtonsDoNotDrag_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }

    void otherButtonsDoNotDrag()
    {
        QFETCH(Qt::MouseButton, button);
        Owner o;
        o.show();
        QVERIFY(QTest::qWaitForWindowExposed(&o));
        int doSplit = 0;
        connect(o.split.get(), &cSplitter::DoSplit, this, [&](bool&) { ++doSplit; });
        QWindow* w = o.windowHandle();
        QTest::mousePress(w, button, {}, QPoint(202, 100));
        QVERIFY(!o.split->isDragging());
        QCOMPARE(doSplit, 0);
        QTest::mouseMove(w, QPoint(300, 100));
        QTest::mouseRelease(w, button, {}, QPoint(300, 100));
        QCOMPARE(o.bar->x(), 200);
        QVERIFY(looksAtRest(o.bar));
    }

    void lostGrabEndsTheDrag_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("another widget takes the grab") << 0;
        QTest::newRow("another window is activated") << 1;
        QTest::newRow("moved without the button") << 2;
        QTest::newRow("owner swallows the release") << 3;
        QTest::newRow("owner hides") << 4;
    }

    void lostGrabEndsTheDrag()
    {
        QFETCH(int, how);
        Owner o;
        o.show();
        o.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&o));
        QSignalSpy complete(o.split.get(), &cSplitter::SplitComplete);
        QWindow* w = o.windowHandle();
        QTest::mousePress(w, Qt::LeftButton, {}, QPoint(201, 100));
        QVERIFY(o.split->isDragging());
        QTest::mouseMove(w, QPoint(320, 100));
        QCOMPARE(o.bar->x(), 320);
        const int offsetPx = pixelsFromTwips(o.split->grabOffset());

        QWidget other;
        switch (how) {
        case 0:
            other.show();
            QVERIFY(QTest::qWaitForWindowExposed(&other));
            other.grabMouse();
            break;
        case 1:
            other.show();
            other.activateWindow();
            break;
        case 2: {
            const QPointF p(400, 100);
            QMouseEvent move(QEvent::MouseMove, p, o.mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(&o, &move);
            break;
        }
        case 3:
            o.ignoreRelease = true;
            QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(320, 100));
            break;
        case 4:
            o.hide();
            break;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!o.split->isDragging(), 2000);
        QCOMPARE(complete.count(), 1);
        // Ended as a release at the last accepted position.
        QCOMPARE(o.bar->x(), 320 - offsetPx);
        QVERIFY(looksAtRest(o.bar));
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(QWidget::mouseGrabber() != &o);
        if (how == 0)
            other.releaseMouse();
        if (how != 3) // the button is still down in the test's mouse state
            QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(330, 100));
        QCOMPARE(complete.count(), 1);
    }

    void destroyedMidDragGivesBackGrabAndPointer()
    {
        Owner o;
        o.show();
        o.split->MouseDown(10.0f);
        o.split->MouseMove(static_cast<float>(100 * tpp()));
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QCOMPARE(QWidget::mouseGrabber(), &o);
        o.split.reset();
        QVERIFY(QWidget::mouseGrabber() == nullptr);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(looksAtRest(o.bar));
    }

    void barOnANestedPanel()
    {
        // The owner's coordinates are kept even when the bar lies on a panel
        // inside the owner.
        QWidget owner;
        owner.resize(600, 400);
        auto* panel = new QWidget(&owner);
        panel->setGeometry(50, 30, 500, 300);
        auto* bar = new QFrame(panel);
        bar->setGeometry(100, 0, 5, 300);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        cSplitter s;
        s.Initialise(bar, &owner);
        s.MouseDown(0.0f);
        s.MouseMove(static_cast<float>(250 * tpp()));
        QCOMPARE(bar->x(), 200); // owner x 250 is panel x 200
        float pos = static_cast<float>(260 * tpp());
        QVERIFY(s.MouseUp(pos));
        QCOMPARE(bar->x(), 210);
    }
};

TW_QTEST_MAIN(SplitterTest)

#include "SplitterTest.moc"
