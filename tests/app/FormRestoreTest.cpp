// CFormRestore on real windows: what it saves comes back to the pixel, a
// window without a saved placement is centred, the saved show state is
// obeyed (minimised kept away when asked, 0 hiding the window), a fixed-size
// window keeps its size, a hand-edited section cannot put a window off the
// screen, and the class's own errors.
#include "app/CAppSettings.h"
#include "app/CFormRestore.h"
#include "app/TwError.h"
#include "platform/WindowGeometry.h"
#include "support/QtTestMain.h"
#include "support/TestEnvironment.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtTest>

using namespace tw;

namespace {

const QString kSection = QStringLiteral("Windows settings\\frmTest");

int32_t errorNumber(const std::function<void()>& f, QString* source = nullptr)
{
    try {
        f();
    } catch (const TwError& e) {
        if (source != nullptr)
            *source = e.source();
        return e.number();
    }
    return 0;
}

} // namespace

class FormRestoreTest : public QObject {
    Q_OBJECT

    CAppSettings m_settings;
    std::unique_ptr<QWidget> m_window;

    CFormRestore restorer()
    {
        CFormRestore r;
        r.Init(&m_settings, true);
        return r;
    }
    void store(const char* key, const QString& value) { m_settings.SaveSetting(kSection, QLatin1String(key), value); }
    QRect screenArea() const { return QGuiApplication::primaryScreen()->availableGeometry(); }

private slots:
    void init()
    {
        test::environment().clearSettings();
        m_settings.Init(QStringLiteral("Myrtova"), QStringLiteral("Tarnwell"));
        m_window = std::make_unique<QWidget>();
        m_window->setObjectName(QStringLiteral("frmTest"));
    }
    void cleanup() { m_window.reset(); }

    void savedPlacementComesBackToThePixel()
    {
        CFormRestore r = restorer();
        m_window->show();
        platform::setOuterPixels(m_window.get(), QRect(60, 40, 420, 310));
        QTRY_COMPARE(m_window->frameGeometry(), QRect(60, 40, 420, 310));
        r.SavePosition(m_window.get());
        // Stored as the texts of whole numbers, right and bottom exclusive.
        QCOMPARE(m_settings.GetSetting(kSection, QStringLiteral("WindowState"), {}).toString(), QStringLiteral("1"));
        QCOMPARE(m_settings.GetSetting(kSection, QStringLiteral("NormalPosRight"), {}).toString(),
                 QStringLiteral("480"));
        QCOMPARE(m_settings.GetSetting(kSection, QStringLiteral("NormalPosBottom"), {}).toString(),
                 QStringLiteral("350"));
        platform::setOuterPixels(m_window.get(), QRect(200, 150, 300, 200));
        QTRY_COMPARE(m_window->frameGeometry(), QRect(200, 150, 300, 200));
        r.GetPosition(m_window.get());
        QTRY_COMPARE(m_window->frameGeometry(), QRect(60, 40, 420, 310));
        QVERIFY(m_window->isVisible());
    }

    void windowWithoutPlacementIsCentred()
    {
        m_window->resize(400, 301);
        CFormRestore r = restorer();
        const QRect desktop = QGuiApplication::primaryScreen()->geometry();
        const QRect expected = CFormRestore::centredOn(platform::normalOuterPixels(m_window.get()), desktop);
        r.GetPosition(m_window.get());
        QCOMPARE(platform::normalOuterPixels(m_window.get()), expected);
        QCOMPARE(m_window->size(), QSize(400, 301));
        // The show command of a hidden window hides it: still hidden.
        QVERIFY(!m_window->isVisible());
        // Not centred by default: left where it is.
        m_window->move(5, 6);
        r.setCenteredByDefault(false);
        r.GetPosition(m_window.get());
        QCOMPARE(m_window->pos(), QPoint(5, 6));
    }

    void savedShowStateIsObeyed()
    {
        CFormRestore r = restorer();
        store("NormalPosLeft", QStringLiteral("30"));
        store("NormalPosTop", QStringLiteral("20"));
        store("NormalPosRight", QStringLiteral("330"));
        store("NormalPosBottom", QStringLiteral("220"));
        // Saved while minimised, restored visible, never minimised: normal.
        store("WindowState", QStringLiteral("2"));
        m_window->show();
        r.setNeverStartMinimized(true);
        r.GetPosition(m_window.get());
        QVERIFY(!m_window->isMinimized());
        QTRY_COMPARE(m_window->frameGeometry(), QRect(30, 20, 300, 200));
        // Without that flag the window comes back minimised.
        r.setNeverStartMinimized(false);
        r.GetPosition(m_window.get());
        QVERIFY(m_window->isMinimized());
        // A stored 0 is a saved placement too: it hides the window.
        m_window->showNormal();
        store("WindowState", QStringLiteral("0"));
        r.GetPosition(m_window.get());
        QVERIFY(!m_window->isVisible());
        // Maximised.
        store("WindowState", QStringLiteral("3"));
        r.GetPosition(m_window.get());
        QVERIFY(m_window->isMaximized());
    }

    void fixedSizeWindowKeepsItsSize()
    {
        m_window->setFixedSize(250, 180);
        CFormRestore r = restorer();
        store("WindowState", QStringLiteral("1"));
        store("NormalPosLeft", QStringLiteral("40"));
        store("NormalPosTop", QStringLiteral("50"));
        store("NormalPosRight", QStringLiteral("700"));
        store("NormalPosBottom", QStringLiteral("590"));
        r.GetPosition(m_window.get());
        QTRY_COMPARE(m_window->frameGeometry().topLeft(), QPoint(40, 50));
        QCOMPARE(m_window->size(), QSize(250, 180));
    }

    void handEditedPlacementStaysOnTheScreen()
    {
        // The same check as every other place (PlaceCheckTest has the table).
        CFormRestore r = restorer();
        store("WindowState", QStringLiteral("1"));
        for (const char* key : {"NormalPosLeft", "NormalPosTop", "NormalPosRight", "NormalPosBottom"})
            store(key, QStringLiteral("1e300"));
        store("NormalPosLeft", QStringLiteral("left"));
        m_window->resize(300, 200);
        r.GetPosition(m_window.get());
        QVERIFY(m_window->isVisible());
        QTRY_VERIFY2(screenArea().contains(m_window->frameGeometry()), "window off the screen");
    }

    void errorsOfTheClass()
    {
        CFormRestore r;
        QString source;
        QCOMPARE(errorNumber([&] { r.GetPosition(m_window.get()); }, &source), CFormRestore::ErrNotInitialized);
        QVERIFY(source.endsWith(QLatin1String(".CFormRestore")));
        QCOMPARE(errorNumber([&] { r.SavePosition(m_window.get()); }), CFormRestore::ErrNotInitialized);
        QCOMPARE(errorNumber([&] { r.Init(nullptr, false); }), CFormRestore::ErrInvalidAppSettings);
        QCOMPARE(errorNumber([&] { r.setAppSettings(nullptr); }), CFormRestore::ErrInvalidAppSettings);
        // A refused value leaves the object as it was.
        QCOMPARE(r.CenteredByDefault(), true);
        QCOMPARE(errorNumber([&] { r.setKeyName(QString()); }), CFormRestore::ErrInvalidKeyName);
        QCOMPARE(r.KeyName(), QStringLiteral("Windows settings"));
        r.Init(&m_settings, false);
        QCOMPARE(errorNumber([&] { r.GetPosition(nullptr); }), CFormRestore::ErrComponentFailure);
        // Another key name gives another section.
        r.setKeyName(QStringLiteral("Places"));
        r.SavePosition(m_window.get());
        QVERIFY(m_settings.GetAllKeys(QStringLiteral("Places\\frmTest")).size() == 9);
    }
};

TW_QTEST_MAIN(FormRestoreTest)
#include "FormRestoreTest.moc"
