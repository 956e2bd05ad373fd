#include "tests/e2e/x_session.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QByteArray>
#include <QStandardPaths>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/bounded_wait.h"

bool XvfbInstalled() {
    return !QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty();
}

int XvfbServer::Start(int width, int height, int timeoutMs) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (program.isEmpty())
        return -1;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    const QByteArray path = program.toLocal8Bit();
    const QByteArray screen = QStringLiteral("%1x%2x24").arg(width).arg(height).toLatin1();
    const char* argv[] = {path.constData(),   "-displayfd", "3",   "-screen",  "0",
                          screen.constData(), "-nolisten",  "tcp", "-noreset", nullptr};
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    m_pid = fork();
    if (m_pid == 0) {
        // The server ends with this process however it ends, and writes its display number to
        // descriptor 3 once it accepts clients.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (fds[1] == 3)
            fcntl(3, F_SETFD, 0);  // dup2 onto itself would keep close-on-exec
        else
            dup2(fds[1], 3);
        dup2(devNull, 1);
        dup2(devNull, 2);
        execv(path.constData(), const_cast<char**>(argv));
        _exit(127);
    }
    close(devNull);
    close(fds[1]);
    if (m_pid < 0) {
        m_pid = -1;
        close(fds[0]);
        return -1;
    }
    QByteArray number;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!number.endsWith('\n')) {
        auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        struct pollfd pfd = {fds[0], POLLIN, 0};
        if (left.count() <= 0 || poll(&pfd, 1, static_cast<int>(left.count())) <= 0)
            break;
        char c;
        if (read(fds[0], &c, 1) != 1)
            break;
        number.append(c);
    }
    close(fds[0]);
    if (!number.endsWith('\n')) {
        Stop();
        return -1;
    }
    m_display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    return 0;
}

namespace {

// Ends a child process started by the suite: TERM, and KILL when it has not ended within 3 s.
void EndChild(pid_t* pid) {
    if (*pid <= 0)
        return;
    kill(*pid, SIGTERM);
    for (int i = 0; i < 300; ++i) {
        if (waitpid(*pid, nullptr, WNOHANG) == *pid) {
            *pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(*pid, SIGKILL);
    waitpid(*pid, nullptr, 0);
    *pid = -1;
}

}  // namespace

void XvfbServer::Stop() {
    EndChild(&m_pid);
}

XClient::~XClient() {
    if (m_grabTest != nullptr)
        xcb_disconnect(m_grabTest);
    if (m_display != nullptr)
        XCloseDisplay(m_display);
}

namespace {

// Xlib's own handler ends the process on any protocol error (a window that went away between a lookup and
// a query): the suite would then leave its X server and programs behind. Errors are ignored instead; the
// calls that failed return nothing.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

int XClient::Open(const QString& display) {
    XSetErrorHandler(&IgnoreXError);
    m_display = XOpenDisplay(display.toLatin1().constData());
    int event, error, major, minor;
    if (m_display == nullptr || !XTestQueryExtension(m_display, &event, &error, &major, &minor))
        return -1;
    m_grabTest = xcb_connect(display.toLatin1().constData(), nullptr);
    return xcb_connection_has_error(m_grabTest) == 0 ? 0 : -1;
}

namespace {

// The items of a window's property of format 32 and that type (each in a long, as Xlib hands them), at
// most maxItems; empty when the window has no such property.
std::vector<unsigned long> LongProperty(Display* display, Window window, const char* name, Atom type,
                                        long maxItems) {
    std::vector<unsigned long> items;
    const Atom property = XInternAtom(display, name, True);
    if (property == None)
        return items;
    Atom actualType;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, maxItems, False, type, &actualType, &format, &count,
                           &after, &data) == Success &&
        data != nullptr && format == 32) {
        const auto* longs = reinterpret_cast<const unsigned long*>(data);
        items.assign(longs, longs + count);
    }
    if (data != nullptr)
        XFree(data);
    return items;
}

long WindowPid(Display* display, Window window) {
    const std::vector<unsigned long> pid = LongProperty(display, window, "_NET_WM_PID", XA_CARDINAL, 1);
    return pid.size() == 1 ? static_cast<long>(pid[0]) : -1;
}

}  // namespace

bool OpenboxInstalled() {
    return !QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty();
}

int WindowManager::Start(const QString& display, const QString& configHome, int timeoutMs) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (program.isEmpty())
        return -1;
    Display* x = XOpenDisplay(display.toLatin1().constData());
    if (x == nullptr)
        return -1;
    const QByteArray path = program.toLocal8Bit();
    const QByteArray displayVariable = "DISPLAY=" + display.toLatin1();
    const QByteArray configVariable = "XDG_CONFIG_HOME=" + configHome.toLocal8Bit();
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    m_pid = fork();
    if (m_pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        putenv(const_cast<char*>(displayVariable.constData()));
        putenv(const_cast<char*>(configVariable.constData()));
        dup2(devNull, 1);
        dup2(devNull, 2);
        const char* argv[] = {path.constData(), "--sm-disable", nullptr};
        execv(path.constData(), const_cast<char**>(argv));
        _exit(127);
    }
    close(devNull);
    // The manager has taken the screen once the root window names its check window, and that window
    // names itself.
    auto running = [&] {
        const Window root = DefaultRootWindow(x);
        const std::vector<unsigned long> check =
            LongProperty(x, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 1);
        return check.size() == 1 &&
               LongProperty(x, check[0], "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 1) == check;
    };
    const bool started = m_pid > 0 && harness::WaitUntil(running, timeoutMs);
    XCloseDisplay(x);
    if (!started) {
        Stop();
        return -1;
    }
    return 0;
}

void WindowManager::Stop() {
    EndChild(&m_pid);
}

namespace {

// The children of window, bottom to top.
std::vector<Window> Children(Display* display, Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    std::vector<Window> list;
    if (XQueryTree(display, window, &root, &parent, &children, &count) && children != nullptr)
        list.assign(children, children + count);
    if (children != nullptr)
        XFree(children);
    return list;
}

// The window of the process pid at window or inside it: a window manager maps each program's top-level
// window into a frame of its own (a few levels deep at most).
Window ClientOfProcess(Display* display, Window window, pid_t pid, int depth) {
    if (WindowPid(display, window) == pid)
        return window;
    if (depth == 0)
        return 0;
    for (Window child : Children(display, window)) {
        if (Window found = ClientOfProcess(display, child, pid, depth - 1))
            return found;
    }
    return 0;
}

// The child of the root that holds window: the window itself, or the frame a window manager put it in.
Window TopOf(Display* display, Window window) {
    const Window root = DefaultRootWindow(display);
    // A bounded walk, as a window tree is not deep.
    for (int depth = 0; depth < 64 && window != None && window != root; ++depth) {
        Window treeRoot = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &treeRoot, &parent, &children, &count))
            return 0;
        if (children != nullptr)
            XFree(children);
        if (parent == root)
            return window;
        window = parent;
    }
    return 0;
}

}  // namespace

std::vector<unsigned long> XClient::WindowsOfProcess(pid_t pid) {
    std::vector<unsigned long> windows;
    XSync(m_display, False);
    for (Window top : Children(m_display, DefaultRootWindow(m_display))) {
        const Window client = ClientOfProcess(m_display, top, pid, 3);
        if (client != 0 && IsShown(client))
            windows.push_back(client);
    }
    return windows;
}

unsigned long XClient::FindWindowOfProcess(pid_t pid) {
    // A program may have several top-level windows (the video surface over the main window is one): the
    // largest is its main window.
    unsigned long found = 0;
    long largest = 0;
    for (unsigned long window : WindowsOfProcess(pid)) {
        QRect rect = WindowRect(window);
        long area = static_cast<long>(rect.width()) * rect.height();
        if (area > largest) {
            largest = area;
            found = window;
        }
    }
    return found;
}

bool XClient::IsShown(unsigned long window) {
    XWindowAttributes attributes;
    XSync(m_display, False);
    return window != 0 && XGetWindowAttributes(m_display, window, &attributes) &&
           attributes.map_state == IsViewable;
}

QRect XClient::WindowRect(unsigned long window) {
    XWindowAttributes attributes;
    if (window == 0 || !XGetWindowAttributes(m_display, window, &attributes))
        return QRect();
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(m_display, window, DefaultRootWindow(m_display), 0, 0, &x, &y, &child);
    return QRect(x, y, attributes.width, attributes.height);
}

QImage XClient::Grab(const QRect& rect) {
    XSync(m_display, False);
    XImage* image = XGetImage(m_display, DefaultRootWindow(m_display), rect.x(), rect.y(),
                              static_cast<unsigned>(rect.width()), static_cast<unsigned>(rect.height()),
                              AllPlanes, ZPixmap);
    if (image == nullptr)
        return QImage();
    QImage out(rect.width(), rect.height(), QImage::Format_RGB32);
    for (int y = 0; y < rect.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < rect.width(); ++x)
            line[x] = static_cast<QRgb>(XGetPixel(image, x, y)) | 0xFF000000u;
    }
    XDestroyImage(image);
    return out;
}

void XClient::MoveMouse(int x, int y) {
    XTestFakeMotionEvent(m_display, -1, x, y, CurrentTime);
    XSync(m_display, False);
}

void XClient::Click(QPoint point, int holdMs) {
    MoveMouse(point.x(), point.y());
    Button(1, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
    Button(1, false);
}

void XClient::Button(int button, bool press) {
    XTestFakeButtonEvent(m_display, static_cast<unsigned>(button), press ? True : False, CurrentTime);
    XSync(m_display, False);
}

void XClient::Key(const char* keysymName) {
    KeyCode code = XKeysymToKeycode(m_display, XStringToKeysym(keysymName));
    XTestFakeKeyEvent(m_display, code, True, CurrentTime);
    XTestFakeKeyEvent(m_display, code, False, CurrentTime);
    XSync(m_display, False);
}

void XClient::KeyWith(const char* modifier, const char* keysymName) {
    KeyCode held = XKeysymToKeycode(m_display, XStringToKeysym(modifier));
    KeyCode code = XKeysymToKeycode(m_display, XStringToKeysym(keysymName));
    XTestFakeKeyEvent(m_display, held, True, CurrentTime);
    XTestFakeKeyEvent(m_display, code, True, CurrentTime);
    XTestFakeKeyEvent(m_display, code, False, CurrentTime);
    XTestFakeKeyEvent(m_display, held, False, CurrentTime);
    XSync(m_display, False);
}

namespace {

// A keycode without any symbol, or 0.
KeyCode SpareKeycode(Display* display) {
    int low = 0;
    int high = 0;
    XDisplayKeycodes(display, &low, &high);
    int perCode = 0;
    KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(low), high - low + 1, &perCode);
    if (map == nullptr)
        return 0;
    KeyCode spare = 0;
    for (int code = high; code >= low && spare == 0; --code) {
        bool empty = true;
        for (int i = 0; i < perCode; ++i)
            empty = empty && map[(code - low) * perCode + i] == NoSymbol;
        if (empty)
            spare = static_cast<KeyCode>(code);
    }
    XFree(map);
    return spare;
}

}  // namespace

void XClient::Type(const QString& text) {
    const KeyCode shift = XKeysymToKeycode(m_display, XK_Shift_L);
    for (QChar c : text) {
        // Latin-1 characters are their own keysyms, the others 0x1000000 + their code point.
        const KeySym sym = c.unicode() < 0x100 ? static_cast<KeySym>(c.unicode())
                                               : static_cast<KeySym>(0x1000000 | c.unicode());
        KeyCode code = XKeysymToKeycode(m_display, sym);
        bool shifted = code != 0 && XkbKeycodeToKeysym(m_display, code, 0, 0) != sym;
        if (code == 0) {
            code = SpareKeycode(m_display);
            if (code == 0)
                continue;
            // Both levels, so that no Shift is needed.
            KeySym syms[2] = {sym, sym};
            XChangeKeyboardMapping(m_display, code, 2, syms, 1);
            // This client's own table too, for the next lookup of the character.
            XSync(m_display, False);
            XEvent mapping;
            mapping.xmapping.type = MappingNotify;
            mapping.xmapping.display = m_display;
            mapping.xmapping.request = MappingKeyboard;
            mapping.xmapping.first_keycode = code;
            mapping.xmapping.count = 1;
            XRefreshKeyboardMapping(&mapping.xmapping);
            shifted = false;
        }
        if (shifted)
            XTestFakeKeyEvent(m_display, shift, True, CurrentTime);
        XTestFakeKeyEvent(m_display, code, True, CurrentTime);
        XTestFakeKeyEvent(m_display, code, False, CurrentTime);
        if (shifted)
            XTestFakeKeyEvent(m_display, shift, False, CurrentTime);
        XSync(m_display, False);
    }
}

QString XClient::WindowName(unsigned long window) {
    QString name;
    const Atom utf8 = XInternAtom(m_display, "UTF8_STRING", False);
    const Atom netName = XInternAtom(m_display, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(m_display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after,
                           &data) == Success &&
        data != nullptr && type == utf8 && format == 8)
        name = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(count));
    if (data != nullptr)
        XFree(data);
    if (!name.isEmpty())
        return name;
    char* plain = nullptr;
    if (XFetchName(m_display, window, &plain) && plain != nullptr) {
        name = QString::fromLatin1(plain);
        XFree(plain);
    }
    return name;
}

unsigned long XClient::MapCover(const QRect& rect) {
    Window root = DefaultRootWindow(m_display);
    Window window =
        XCreateSimpleWindow(m_display, root, rect.x(), rect.y(), static_cast<unsigned>(rect.width()),
                            static_cast<unsigned>(rect.height()), 0, 0, 0x404040);
    XMapRaised(m_display, window);
    XSync(m_display, False);
    return window;
}

bool XClient::IsAbove(unsigned long a, unsigned long b) {
    XSync(m_display, False);
    // Stacked as their frames are, under a window manager.
    const Window topA = TopOf(m_display, a), topB = TopOf(m_display, b);
    // The children come bottom to top.
    const std::vector<Window> stack = Children(m_display, DefaultRootWindow(m_display));
    const auto posA = std::find(stack.begin(), stack.end(), topA);
    const auto posB = std::find(stack.begin(), stack.end(), topB);
    return topA != 0 && topB != 0 && posA != stack.end() && posB != stack.end() && posA > posB;
}

bool XClient::IsToolTip(unsigned long window) {
    const std::vector<unsigned long> types =
        LongProperty(m_display, window, "_NET_WM_WINDOW_TYPE", XA_ATOM, 16);
    const Atom toolTip = XInternAtom(m_display, "_NET_WM_WINDOW_TYPE_TOOLTIP", False);
    return std::find(types.begin(), types.end(), toolTip) != types.end();
}

bool XClient::HasState(unsigned long window, const char* state) {
    const std::vector<unsigned long> states = LongProperty(m_display, window, "_NET_WM_STATE", XA_ATOM, 32);
    const Atom atom = XInternAtom(m_display, state, False);
    return std::find(states.begin(), states.end(), atom) != states.end();
}

unsigned long XClient::TransientFor(unsigned long window) {
    Window owner = 0;
    return XGetTransientForHint(m_display, window, &owner) ? owner : 0;
}

bool XClient::IsIconic(unsigned long window) {
    const Atom wmState = XInternAtom(m_display, "WM_STATE", False);
    const std::vector<unsigned long> state = LongProperty(m_display, window, "WM_STATE", wmState, 2);
    return !state.empty() && state[0] == IconicState;
}

namespace {

// A request to the window manager about window, as the window-manager standard sends them.
void SendToWindowManager(Display* display, Window window, const char* type, long data0, long data1) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, type, False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = data0;
    event.xclient.data.l[1] = data1;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
    XSync(display, False);
}

}  // namespace

void XClient::Minimise(unsigned long window) {
    SendToWindowManager(m_display, window, "WM_CHANGE_STATE", IconicState, 0);
}

void XClient::Activate(unsigned long window) {
    // Source 2: a pager or taskbar acting for the user.
    SendToWindowManager(m_display, window, "_NET_ACTIVE_WINDOW", 2, CurrentTime);
}

unsigned long XClient::TopLevelAt(QPoint point) {
    const Window root = DefaultRootWindow(m_display);
    Window child = 0;
    int x = 0, y = 0;
    XSync(m_display, False);
    if (!XTranslateCoordinates(m_display, root, root, point.x(), point.y(), &x, &y, &child))
        return 0;
    return child;
}

unsigned long XClient::FocusedTopLevel() {
    Window window = None;
    int revertTo = 0;
    XSync(m_display, False);
    XGetInputFocus(m_display, &window, &revertTo);
    return window == PointerRoot ? 0 : TopOf(m_display, window);
}

namespace {

void PollPause() {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

}  // namespace

bool XClient::WaitForKeyboard(unsigned long window, int timeoutMs) {
    return window != 0 && harness::WaitUntil([&] { return FocusedTopLevel() == TopOf(m_display, window); },
                                             timeoutMs, PollPause);
}

bool XClient::ClickForKeys(QPoint point, const QRect& changed, int timeoutMs) {
    const unsigned long window = TopLevelAt(point);
    const QImage before = changed.isEmpty() ? QImage() : Grab(changed);
    Click(point);
    return (changed.isEmpty() || WaitForChange(changed, before, timeoutMs)) &&
           WaitForKeyboard(window, timeoutMs);
}

bool XClient::WaitForChange(const QRect& rect, const QImage& before, int timeoutMs) {
    return harness::WaitUntil([&] { return Grab(rect) != before; }, timeoutMs, PollPause);
}

bool XClient::WaitForStill(const QRect& rect, int intervalMs, int timeoutMs, QImage* last) {
    // Three grabs, so that a caret blinking at about the interval is seen to move.
    QImage later = Grab(rect);
    int same = 0;
    const bool still = harness::WaitUntil(
        [&] {
            const QImage earlier = later;
            std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
            later = Grab(rect);
            same = later == earlier ? same + 1 : 0;
            return same >= 2;
        },
        timeoutMs, [] {});
    if (last != nullptr)
        *last = later;
    return still;
}

bool XClient::WaitForKeyboardGrab(int timeoutMs) {
    xcb_connection_t* c = m_grabTest;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    return harness::WaitUntil(
        [&] {
            const xcb_grab_keyboard_cookie_t grab =
                xcb_grab_keyboard(c, 0, root, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
            // Releases nothing when the grab was refused.
            xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
            xcb_flush(c);
            xcb_grab_keyboard_reply_t* reply = xcb_grab_keyboard_reply(c, grab, nullptr);
            const bool held = reply != nullptr && reply->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
            free(reply);
            return held;
        },
        timeoutMs, PollPause);
}

bool XClient::WaitForDrawn(const QRect& rect, int timeoutMs, QImage* last) {
    auto oneColour = [](const QImage& image) {
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if (line[x] != image.pixel(0, 0))
                    return false;
            }
        }
        return true;
    };
    return harness::WaitUntil(
               [&] {
                   const QImage now = Grab(rect);
                   return !now.isNull() && !oneColour(now);
               },
               timeoutMs, PollPause) &&
           WaitForStill(rect, 300, timeoutMs, last);
}

QRect XClient::WaitForPlaced(unsigned long window, int intervalMs, int timeoutMs) {
    QRect later = WindowRect(window);
    const bool placed = harness::WaitUntil(
        [&] {
            const QRect earlier = later;
            std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
            later = WindowRect(window);
            return !later.isEmpty() && later == earlier && later.x() > 0;
        },
        timeoutMs, [] {});
    return placed ? later : QRect();
}
