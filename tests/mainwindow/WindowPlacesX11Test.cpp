// The real program under a window manager (a private Xvfb display with
// openbox): the first start tiles the main window, the 2-D chart window and
// the 3-D window over the work area, and nine more start/exit cycles bring
// them back there, to the pixel; a settings file full of absurd places
// starts the program with every window on the screen; ended by a signal, the
// program keeps what closing it keeps.
//
// The windows are read and closed through the X server, as the window
// manager sees them: frame extents, positions, and the close request a
// close box sends. The suite waits on the X server's events (a window
// listed, framed, moved, resized or renamed), never for a while.
#include "app/CAppSettings.h"
#include "platform/RegistryStore.h"
#include "support/FileSizeLimit.h"
#include "support/QtTestMain.h"
#include "support/TestEnvironment.h"
#include "support/WindowSystem.h"

#include <QEventLoop>
#include <QMap>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <functional>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <cstring>

using namespace tw;

namespace {

// A connection of our own to the display the suite runs on.
class XDisplay {
public:
    XDisplay() : m_c(xcb_connect(nullptr, nullptr))
    {
        if (xcb_connection_has_error(m_c) != 0)
            return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        m_clientList = atom("_NET_CLIENT_LIST");
        m_pid = atom("_NET_WM_PID");
        m_name = atom("_NET_WM_NAME");
        m_extents = atom("_NET_FRAME_EXTENTS");
        m_protocols = atom("WM_PROTOCOLS");
        m_delete = atom("WM_DELETE_WINDOW");
        m_utf8 = atom("UTF8_STRING");
    }
    ~XDisplay() { xcb_disconnect(m_c); }
    bool ok() const { return xcb_connection_has_error(m_c) == 0; }
    int fileDescriptor() const { return xcb_get_file_descriptor(m_c); }

    // Asks for the events that tell of top-level windows coming, going and
    // moving (the frames are the root's children; the client list is the
    // root's property).
    void watchRoot()
    {
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_c);
    }

    // Reads the events that have come (they only wake the waiting); true
    // when there were any.
    bool takeEvents()
    {
        bool any = false;
        while (xcb_generic_event_t* e = xcb_poll_for_event(m_c)) {
            any = true;
            free(e);
        }
        return any;
    }

    QRect rootArea()
    {
        xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, m_root), nullptr);
        const QRect r = g != nullptr ? QRect(0, 0, g->width, g->height) : QRect();
        free(g);
        return r;
    }

    // The viewable, framed top-level windows of a process: title -> outer
    // rectangle (frame included).
    QMap<QString, QRect> windowsOf(qint64 pid)
    {
        QMap<QString, QRect> result;
        for (xcb_window_t w : cardinals(m_root, m_clientList)) {
            const QList<xcb_window_t> p = cardinals(w, m_pid);
            if (p.isEmpty() || p.first() != static_cast<xcb_window_t>(pid))
                continue;
            xcb_get_window_attributes_reply_t* a =
                xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, w), nullptr);
            const bool viewable = a != nullptr && a->map_state == XCB_MAP_STATE_VIEWABLE;
            free(a);
            watch(w);
            const QList<xcb_window_t> e = cardinals(w, m_extents);
            if (!viewable || e.size() != 4)
                continue;
            xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, w), nullptr);
            xcb_translate_coordinates_reply_t* t =
                xcb_translate_coordinates_reply(m_c, xcb_translate_coordinates(m_c, w, m_root, 0, 0), nullptr);
            if (g != nullptr && t != nullptr) {
                // Extents: left, right, top, bottom.
                result.insert(title(w), QRect(t->dst_x - int(e[0]), t->dst_y - int(e[2]),
                                              g->width + int(e[0] + e[1]), g->height + int(e[2] + e[3])));
            }
            free(g);
            free(t);
        }
        return result;
    }

    // What a close box does: asks the window to close.
    void requestClose(qint64 pid, const QString& titleOfWindow)
    {
        for (xcb_window_t w : cardinals(m_root, m_clientList)) {
            const QList<xcb_window_t> p = cardinals(w, m_pid);
            if (p.isEmpty() || p.first() != static_cast<xcb_window_t>(pid) || title(w) != titleOfWindow)
                continue;
            xcb_client_message_event_t ev;
            std::memset(&ev, 0, sizeof ev);
            ev.response_type = XCB_CLIENT_MESSAGE;
            ev.format = 32;
            ev.window = w;
            ev.type = m_protocols;
            ev.data.data32[0] = m_delete;
            ev.data.data32[1] = XCB_CURRENT_TIME;
            xcb_send_event(m_c, 0, w, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
            xcb_flush(m_c);
        }
    }

private:
    // A client window's own changes: its size inside the frame, its
    // properties (frame extents, title). Asked at every look: the server
    // hands a new window the number of one gone before.
    void watch(xcb_window_t w)
    {
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_c, w, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_c);
    }

    xcb_atom_t atom(const char* name)
    {
        xcb_intern_atom_reply_t* r =
            xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = r != nullptr ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(r);
        return a;
    }
    QList<xcb_window_t> cardinals(xcb_window_t w, xcb_atom_t property)
    {
        QList<xcb_window_t> out;
        xcb_get_property_reply_t* r =
            xcb_get_property_reply(m_c, xcb_get_property(m_c, 0, w, property, XCB_ATOM_ANY, 0, 4096), nullptr);
        if (r != nullptr && r->format == 32) {
            const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(r));
            for (int i = 0; i < xcb_get_property_value_length(r) / 4; ++i)
                out.append(v[i]);
        }
        free(r);
        return out;
    }
    QString title(xcb_window_t w)
    {
        xcb_get_property_reply_t* r =
            xcb_get_property_reply(m_c, xcb_get_property(m_c, 0, w, m_name, m_utf8, 0, 1024), nullptr);
        QString t;
        if (r != nullptr)
            t = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(r)),
                                  xcb_get_property_value_length(r));
        free(r);
        return t;
    }

    xcb_connection_t* m_c;
    xcb_window_t m_root = 0;
    xcb_atom_t m_clientList = 0, m_pid = 0, m_name = 0, m_extents = 0, m_protocols = 0, m_delete = 0, m_utf8 = 0;
};

// The program's framed windows: title -> outer rectangle.
using Windows = QMap<QString, QRect>;
// A state of the windows a test waits for.
using Goal = std::function<bool(const Windows&)>;

const QString kMain = QStringLiteral("Tarnwell");
// The 3-D window: "3D chart" while nothing is drawn, else the ticker
// followed by " - 3D Chart".
bool is3d(const QString& title)
{
    return title == QLatin1String("3D chart") || title.endsWith(QLatin1String(" - 3D Chart"));
}
bool is2d(const QString& title)
{
    return title.contains(QLatin1String("2D Chart"));
}

// The outer rectangle of the one window whose title passes `kind`; null
// when there is none or more than one.
QRect placeOf(const Windows& w, const std::function<bool(const QString&)>& kind)
{
    QRect found;
    int count = 0;
    for (auto it = w.begin(); it != w.end(); ++it) {
        if (kind(it.key())) {
            found = *it;
            ++count;
        }
    }
    return count == 1 ? found : QRect();
}

// The main window, one 2-D chart window and the 3-D window, framed.
bool complete(const Windows& w)
{
    return w.size() == 3 && w.contains(kMain) && !placeOf(w, is3d).isNull() && !placeOf(w, is2d).isNull();
}

// The places of the first start on a work area without panels (openbox
// keeps none): the main window fills the left half, the 2-D chart window
// the upper and the 3-D window the lower right quarter.
bool tiled(const Windows& w, const QRect& screen)
{
    const int half = screen.width() / 2, middle = screen.height() / 2;
    return complete(w) && w.value(kMain) == QRect(0, 0, half, screen.height())
        && placeOf(w, is2d) == QRect(half, 0, screen.width() - half, middle)
        && placeOf(w, is3d) == QRect(half, middle, screen.width() - half, screen.height() - middle);
}

QString describe(const QMap<QString, QRect>& w)
{
    QString s;
    for (auto it = w.begin(); it != w.end(); ++it)
        s += QStringLiteral("%1: %2,%3 %4x%5; ")
                 .arg(it.key())
                 .arg(it->x())
                 .arg(it->y())
                 .arg(it->width())
                 .arg(it->height());
    return s;
}

// Every stored setting, as "key path / name = value", sorted.
QStringList storedSettings()
{
    QStringList out;
    const platform::RegistryStore store;
    const std::function<void(const QString&)> walk = [&](const QString& key) {
        for (const QString& name : store.valueNames(key).value_or(QStringList())) {
            const std::optional<platform::RegValue> v = store.queryValue(key, name);
            out.append(key + QStringLiteral(" / ") + name + QStringLiteral(" = ")
                       + (v && v->type == platform::RegType::DWord ? QString::number(v->dword) : v ? v->text : QString()));
        }
        for (const QString& sub : store.subKeyNames(key))
            walk(key + QLatin1Char('\\') + sub);
    };
    walk(QStringLiteral("Software"));
    out.sort();
    return out;
}

// How the program ended, and what it wrote (its standard output and error:
// a sanitizer's report, a warning of Qt), for a failure's message.
QString endOf(QProcess& program)
{
    QString end = program.exitStatus() == QProcess::CrashExit
        ? QStringLiteral("the program was ended by signal %1").arg(program.exitCode())
        : QStringLiteral("the program ended with code %1").arg(program.exitCode());
    const QByteArray output = program.readAll().trimmed();
    if (!output.isEmpty())
        end += QStringLiteral("; it wrote:\n") + QString::fromLocal8Bit(output.right(16000));
    return end;
}

} // namespace

class WindowPlacesX11Test : public QObject {
    Q_OBJECT

    XDisplay m_display;

    // Waits, on the X server's events, until the program's windows pass
    // `reached`, or the program ends, or test::kWindowSystemWait goes by; the
    // windows last seen.
    Windows waitForWindows(QProcess& program, const Goal& reached, bool* ok)
    {
        Windows seen;
        *ok = false;
        QEventLoop loop;
        const auto look = [&] {
            // Events read while looking wake nobody: look again after them.
            do {
                seen = m_display.windowsOf(program.processId());
                if (reached(seen)) {
                    *ok = true;
                    loop.quit();
                    return;
                }
            } while (m_display.takeEvents());
        };
        QSocketNotifier events(m_display.fileDescriptor(), QSocketNotifier::Read);
        connect(&events, &QSocketNotifier::activated, &loop, [&] {
            m_display.takeEvents();
            look();
        });
        connect(&program, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer limit;
        limit.setSingleShot(true);
        connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        limit.start(test::kWindowSystemWait);
        look();
        if (!*ok && program.state() == QProcess::Running)
            loop.exec();
        return seen;
    }

    // Starts the program on the shipped files, waits until its three windows
    // are framed and pass `reached`, records them, and closes the program as a
    // user would (or, given `endSignal`, ends it as the system does). Empty
    // when something went wrong (with a message naming what was expected and
    // what was seen, how the program ended and what it wrote).
    Windows oneCycle(const Goal& reached, const QString& expected, QString* failure, int endSignal = 0,
                     rlim_t fileSizeLimit = 0)
    {
        QProcess program;
        QTemporaryDir shaderCache;
        if (fileSizeLimit != 0) {
            // The OpenGL driver's shader cache made anew, so it is written.
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("MESA_SHADER_CACHE_DIR"), shaderCache.path());
            program.setProcessEnvironment(environment);
            program.setChildProcessModifier([fileSizeLimit] { test::lowerFileSizeLimit(fileSizeLimit); });
        }
        program.setProgram(QStringLiteral(TARNWELL_EXE));
        const QString folder = QFileInfo(QStringLiteral(TARNWELL_EXE)).absolutePath();
        program.setArguments({QStringLiteral("-S"), folder + QStringLiteral("/DEFAULT.STG"), QStringLiteral("-O"),
                              folder + QStringLiteral("/SAMPLE.opt")});
        // What it writes is kept for the message of a failure.
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start();
        if (!program.waitForStarted(test::kWindowSystemWait)) {
            *failure = QStringLiteral("the program did not start: ") + program.errorString();
            return {};
        }
        bool ok = false;
        const Windows seen = waitForWindows(program, reached, &ok);
        if (!ok) {
            *failure = (program.state() == QProcess::Running
                            ? QStringLiteral("the windows never reached ")
                            : QStringLiteral("the program ended before its windows reached "))
                + expected + QStringLiteral("; last seen: ") + describe(seen);
            program.kill();
            program.waitForFinished();
            *failure += QStringLiteral("; ") + endOf(program);
            return {};
        }
        if (endSignal != 0)
            ::kill(static_cast<pid_t>(program.processId()), endSignal);
        else
            m_display.requestClose(program.processId(), kMain);
        if (!program.waitForFinished(test::kWindowSystemWait)) {
            *failure = QStringLiteral("the program did not end when its main window was closed or it was signalled");
            program.kill();
            program.waitForFinished();
            *failure += QStringLiteral("; ") + endOf(program);
            return {};
        }
        if (program.exitStatus() != QProcess::NormalExit || program.exitCode() != 0) {
            *failure = endOf(program);
            return {};
        }
        return seen;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_display.ok(), "no X display");
        m_display.watchRoot();
    }

    void tenStartsLeaveEveryWindowWhereTheFirstPutIt()
    {
        test::environment().clearSettings();
        const QRect screen = m_display.rootArea();
        QString failure;
        const Windows first = oneCycle([&](const Windows& w) { return tiled(w, screen); },
                                       QStringLiteral("the tiled places of a first start"), &failure);
        QVERIFY2(!first.isEmpty(), qPrintable(QStringLiteral("first start: ") + failure));
        for (int cycle = 2; cycle <= 10; ++cycle) {
            const Windows again = oneCycle([&](const Windows& w) { return w == first; },
                                           QStringLiteral("the places of the first start, ") + describe(first),
                                           &failure);
            QVERIFY2(!again.isEmpty(), qPrintable(QStringLiteral("start %1: ").arg(cycle) + failure));
        }
    }

    // Ended by the system (a shutdown, a logout, kill), the program keeps
    // exactly what closing it keeps: the next start finds its windows, its
    // chain and its choices. A file size limit (ulimit -f) below what the
    // OpenGL driver's shader cache takes ends no start: the writes past it fail.
    void aSignalKeepsWhatClosingKeeps_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("fileSizeLimit");
        QTest::addRow("SIGTERM") << int(SIGTERM) << 0;
        QTest::addRow("SIGHUP") << int(SIGHUP) << 0;
        QTest::addRow("SIGTERM, file size limit 64 KiB") << int(SIGTERM) << 64 * 1024;
    }
    void aSignalKeepsWhatClosingKeeps()
    {
        QFETCH(int, signal);
        QFETCH(int, fileSizeLimit);
        const QRect screen = m_display.rootArea();
        const Goal tiledGoal = [&](const Windows& w) { return tiled(w, screen); };
        QString failure;
        test::environment().clearSettings();
        QVERIFY2(!oneCycle(tiledGoal, QStringLiteral("the tiled places"), &failure).isEmpty(), qPrintable(failure));
        const QStringList closed = storedSettings();
        QVERIFY(closed.size() > 30);
        test::environment().clearSettings();
        QVERIFY2(!oneCycle(tiledGoal, QStringLiteral("the tiled places"), &failure, signal, fileSizeLimit).isEmpty(),
                 qPrintable(failure));
        QCOMPARE(storedSettings(), closed);
    }

    void absurdPlacesStartWithEveryWindowOnTheScreen_data()
    {
        QTest::addColumn<QString>("value"); // stored for every place key
        QTest::addRow("200000000") << QStringLiteral("200000000");
        QTest::addRow("1e300") << QStringLiteral("1e300");
        QTest::addRow("lowest 32-bit") << QStringLiteral("-2147483000");
        QTest::addRow("3e10") << QStringLiteral("3e10");
    }
    void absurdPlacesStartWithEveryWindowOnTheScreen()
    {
        QFETCH(QString, value);
        test::environment().clearSettings();
        CAppSettings s;
        s.Init(QStringLiteral("Myrtova"), QStringLiteral("Tarnwell"));
        for (const char* key : {"StgLeft", "StgTop", "StgWidth", "StgHeight", "3dChartLeft", "3dChartTop",
                                "3dChartWidth", "3dChartHeight"})
            s.SaveSetting(QStringLiteral("Settings"), QLatin1String(key), value);
        for (const char* key : {"Left", "Top", "Width", "Height"})
            s.SaveSetting(QStringLiteral("Settings\\CC1"), QLatin1String(key), value);
        const QRect screen = m_display.rootArea();
        QString failure;
        const auto onScreen = [&](const QRect& r) { return screen.contains(r); };
        const Windows windows = oneCycle(
            [&](const Windows& w) { return complete(w) && std::all_of(w.begin(), w.end(), onScreen); },
            QStringLiteral("the screen"), &failure);
        QVERIFY2(!windows.isEmpty(), qPrintable(failure));
    }
};

TW_QTEST_MAIN(WindowPlacesX11Test)
#include "WindowPlacesX11Test.moc"
