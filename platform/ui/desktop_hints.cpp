#include "platform/ui/desktop_hints.h"

#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

// Qt's own connection to the X server, or null on another platform.
xcb_connection_t* Connection() {
    auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (gui == nullptr)
        return nullptr;
    auto* x11 = gui->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? nullptr : x11->connection();
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply == nullptr ? xcb_atom_t{XCB_ATOM_NONE} : reply->atom;
}

xcb_window_t Root(xcb_connection_t* c) {
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

// The X window of a top-level widget (made when it has none yet).
xcb_window_t WindowOf(QWidget* widget) {
    return widget == nullptr ? xcb_window_t{XCB_WINDOW_NONE}
                             : static_cast<xcb_window_t>(widget->window()->winId());
}

// The 32-bit values of a property (atoms, windows, cardinals); empty when it is not set.
std::vector<uint32_t> Values(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type) {
    Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 64), nullptr));
    if (reply == nullptr || reply->format != 32)
        return {};
    const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<uint32_t>(data, data + xcb_get_property_value_length(reply.get()) / 4);
}

// A client message to the root window, as the window-manager standard sends requests.
void SendToRoot(xcb_connection_t* c, xcb_window_t window, xcb_atom_t type, const uint32_t (&data)[5]) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::memcpy(event.data.data32, data, sizeof data);
    xcb_send_event(c, 0, Root(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

bool Mapped(xcb_connection_t* c, xcb_window_t window) {
    Reply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return reply != nullptr && reply->map_state != XCB_MAP_STATE_UNMAPPED;
}

}  // namespace

namespace {

// Whether a window manager has taken the screen of the connection.
bool ManagerRunning(xcb_connection_t* c) {
    const xcb_atom_t check = Atom(c, "_NET_SUPPORTING_WM_CHECK");
    const std::vector<uint32_t> named = Values(c, Root(c), check, XCB_ATOM_WINDOW);
    if (named.empty())
        return false;
    const std::vector<uint32_t> self = Values(c, named[0], check, XCB_ATOM_WINDOW);
    return !self.empty() && self[0] == named[0];
}

}  // namespace

bool XWithoutWindowManager() {
    xcb_connection_t* c = Connection();
    return c != nullptr && !ManagerRunning(c);
}

bool XWithWindowManager() {
    xcb_connection_t* c = Connection();
    return c != nullptr && ManagerRunning(c);
}

void MarkOwnedWindow(QWidget* window, QWidget* owner) {
    xcb_connection_t* c = Connection();
    if (c == nullptr || window == nullptr || owner == nullptr)
        return;
    const xcb_window_t id = WindowOf(window);
    const xcb_window_t ownerId = WindowOf(owner);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1,
                        &ownerId);
    const xcb_atom_t state = Atom(c, "_NET_WM_STATE");
    const xcb_atom_t skip[2] = {Atom(c, "_NET_WM_STATE_SKIP_TASKBAR"), Atom(c, "_NET_WM_STATE_SKIP_PAGER")};
    if (Mapped(c, id)) {
        // A managed window's state changes only through the manager.
        SendToRoot(c, id, state, {1, skip[0], skip[1], 1, 0});
    } else {
        // Qt adds its own states to what the property holds when it maps the window.
        std::vector<uint32_t> atoms = Values(c, id, state, XCB_ATOM_ATOM);
        for (xcb_atom_t atom : skip) {
            if (std::find(atoms.begin(), atoms.end(), atom) == atoms.end())
                atoms.push_back(atom);
        }
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(atoms.size()), atoms.data());
    }
    xcb_flush(c);
}

bool WindowIconic(QWidget* window) {
    xcb_connection_t* c = Connection();
    if (c == nullptr || window == nullptr)
        return false;
    const xcb_atom_t wmState = Atom(c, "WM_STATE");
    const std::vector<uint32_t> values = Values(c, WindowOf(window), wmState, wmState);
    constexpr uint32_t kIconicState = 3;
    return !values.empty() && values[0] == kIconicState;
}

void ShowIconicWindow(QWidget* window) {
    xcb_connection_t* c = Connection();
    if (c == nullptr || window == nullptr)
        return;
    const xcb_window_t id = WindowOf(window);
    xcb_map_window(c, id);
    // Source 2: a request on the user's behalf, which managers do not refuse as focus stealing.
    SendToRoot(c, id, Atom(c, "_NET_ACTIVE_WINDOW"), {2, XCB_CURRENT_TIME, 0, 0, 0});
    xcb_flush(c);
}

namespace {

// The shown top-level window whose X window is id gets the minimised state its WM_STATE says, when Qt
// believes otherwise.
void MatchMinimised(xcb_window_t id) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || window->internalWinId() != id)
            continue;
        // Read now, not from the notice: a later change may have come since.
        const bool iconic = WindowIconic(window);
        if (iconic != window->isMinimized())
            window->setWindowState(iconic ? window->windowState() | Qt::WindowMinimized
                                          : window->windowState() & ~Qt::WindowMinimized);
    }
}

// Sees the window manager's WM_STATE changes among the X events before Qt handles them.
class WindowStateWatch : public QAbstractNativeEventFilter {
public:
    explicit WindowStateWatch(xcb_atom_t wmState) : m_wmState(wmState) {}
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        auto* event = static_cast<xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY)
            return false;
        auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
        if (notify->atom == m_wmState) {
            // After Qt has handled the change itself.
            const xcb_window_t id = notify->window;
            QTimer::singleShot(0, QCoreApplication::instance(), [id] { MatchMinimised(id); });
        }
        return false;
    }

private:
    xcb_atom_t m_wmState;
};

}  // namespace

void FollowWindowManagerStates() {
    // One watch per application object, gone with it.
    static WindowStateWatch* watch = nullptr;
    xcb_connection_t* c = Connection();
    if (c == nullptr || watch != nullptr)
        return;
    watch = new WindowStateWatch(Atom(c, "WM_STATE"));
    QCoreApplication* app = QCoreApplication::instance();
    app->installNativeEventFilter(watch);
    QObject::connect(app, &QObject::destroyed, [] {
        delete watch;
        watch = nullptr;
    });
}

void UnmapWithoutWindowManager(QWidget* window) {
    xcb_connection_t* c = Connection();
    if (c == nullptr || window == nullptr)
        return;
    xcb_unmap_window(c, WindowOf(window));
    xcb_flush(c);
}
