#include "platform/ui/window_props.h"

#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/system/copydata_endpoint.h"
#include "platform/system/instance_endpoint.h"
#include "platform/ui/message_loop.h"
#include "platform/ui/window_table.h"
#include "platform/ui/wnd.h"

namespace {

struct Property {
    HWND hwnd;
    QString name;
    HANDLE data;
};

// UI thread only, like the windows themselves.
std::vector<Property>& Properties() {
    static std::vector<Property> properties;
    return properties;
}

const HANDLE kPublished = reinterpret_cast<HANDLE>(1);

// Drops the properties of windows that are gone.
void ForgetDeadWindows() {
    auto& properties = Properties();
    std::erase_if(properties, [](const Property& p) { return !IsWindowHandleLive(p.hwnd); });
}

// The live windows that carry name with the value 1, in the order they set it.
std::vector<HWND> PublishedWindows(const QString& name) {
    std::vector<HWND> windows;
    for (const Property& p : Properties()) {
        if (p.name == name && p.data == kPublished && IsWindowHandleLive(p.hwnd))
            windows.push_back(p.hwnd);
    }
    return windows;
}

// One listening endpoint served on the UI thread. The notifier's handler holds the listener, so a
// listener closed by the message it is handling (a window that ends on the close request removes its
// property) stays alive until that handling is over.
struct Listener {
    CopyDataEndpoint endpoint;
    QSocketNotifier* notifier = nullptr;

    void Close() {
        endpoint.Close();
        if (notifier != nullptr) {
            notifier->setEnabled(false);
            notifier->deleteLater();
            notifier = nullptr;
        }
    }
};
using ListenerPtr = std::shared_ptr<Listener>;

std::map<QString, ListenerPtr>& InstanceListeners() {
    static std::map<QString, ListenerPtr> listeners;
    return listeners;
}

ListenerPtr& CopyDataListener() {
    static ListenerPtr listener;
    return listener;
}

// Shows and raises the first window published under name. 1 when there was one.
LRESULT RaisePublishedWindow(const QString& name) {
    std::vector<HWND> windows = PublishedWindows(name);
    CWnd* wnd = windows.empty() ? nullptr : CWnd::FromHandle(windows.front());
    if (wnd == nullptr)
        return 0;
    wnd->ShowWindow(SW_SHOWNORMAL);
    wnd->SetForegroundWindow();
    return 1;
}

// Sends WM_COPYDATA to every published window; the first non-zero result answers.
LRESULT SendCopyDataToPublishedWindows(WPARAM wParam, const COPYDATASTRUCT& received) {
    std::vector<HWND> windows;
    for (const auto& [name, listener] : InstanceListeners()) {
        for (HWND hwnd : PublishedWindows(name)) {
            if (std::find(windows.begin(), windows.end(), hwnd) == windows.end())
                windows.push_back(hwnd);
        }
    }
    LRESULT answer = 0;
    for (HWND hwnd : windows) {
        COPYDATASTRUCT data = received;
        LRESULT result = SendMessage(hwnd, WM_COPYDATA, wParam, reinterpret_cast<LPARAM>(&data));
        if (answer == 0)
            answer = result;
    }
    return answer;
}

ListenerPtr OpenListener(const QString& path, CopyDataEndpoint::Handler handler) {
    auto listener = std::make_shared<Listener>();
    if (path.isEmpty() || listener->endpoint.OpenAt(path) != 0)
        return nullptr;
    listener->notifier = new QSocketNotifier(listener->endpoint.Fd(), QSocketNotifier::Read);
    QObject::connect(
        listener->notifier, &QSocketNotifier::activated,
        [listener, handler = std::move(handler)]() { (void)listener->endpoint.Service(handler); });
    return listener;
}

void Publish(const QString& name) {
    auto& instances = InstanceListeners();
    if (instances.count(name) == 0) {
        ListenerPtr listener =
            OpenListener(InstanceEndpointPath(name), [name](WPARAM, const COPYDATASTRUCT& data) {
                return data.dwData == INSTANCE_RAISE_REQUEST ? RaisePublishedWindow(name) : LRESULT(0);
            });
        if (listener != nullptr)
            instances[name] = listener;
    }
    ListenerPtr& copyData = CopyDataListener();
    if (copyData == nullptr && !instances.empty())
        copyData = OpenListener(CopyDataEndpointPath(getpid()), &SendCopyDataToPublishedWindows);
}

// Closes the endpoint of name when no window carries it any more, and the copy-data endpoint with the last.
void UnpublishIfUnused(const QString& name) {
    auto& instances = InstanceListeners();
    auto it = instances.find(name);
    if (it != instances.end() && PublishedWindows(name).empty()) {
        it->second->Close();
        instances.erase(it);
    }
    ListenerPtr& copyData = CopyDataListener();
    if (instances.empty() && copyData != nullptr) {
        copyData->Close();
        copyData = nullptr;
    }
}

}  // namespace

BOOL SetProp(HWND hwnd, const QString& name, HANDLE data) {
    if (name.isEmpty() || !IsWindowHandleLive(hwnd))
        return FALSE;
    ForgetDeadWindows();
    auto& properties = Properties();
    auto it = std::find_if(properties.begin(), properties.end(),
                           [&](const Property& p) { return p.hwnd == hwnd && p.name == name; });
    if (it == properties.end())
        properties.push_back(Property{hwnd, name, data});
    else
        it->data = data;
    if (data == kPublished)
        Publish(name);
    else
        UnpublishIfUnused(name);
    return TRUE;
}

HANDLE GetProp(HWND hwnd, const QString& name) {
    if (!IsWindowHandleLive(hwnd))
        return nullptr;
    for (const Property& p : Properties()) {
        if (p.hwnd == hwnd && p.name == name)
            return p.data;
    }
    return nullptr;
}

HANDLE RemoveProp(HWND hwnd, const QString& name) {
    auto& properties = Properties();
    auto it = std::find_if(properties.begin(), properties.end(),
                           [&](const Property& p) { return p.hwnd == hwnd && p.name == name; });
    if (it == properties.end())
        return nullptr;
    HANDLE data = IsWindowHandleLive(hwnd) ? it->data : nullptr;
    properties.erase(it);
    UnpublishIfUnused(name);
    return data;
}
