#include "platform/system/instance_endpoint.h"

#include "platform/system/copydata_endpoint.h"

QString InstanceEndpointPath(const QString& name) {
    const QString folder = CopyDataEndpointFolder();
    if (folder.isEmpty() || name.isEmpty())
        return QString();
    return folder + QStringLiteral("/instance-") + name;
}

int RequestInstanceRaise(const QString& name, int timeoutMs) {
    const QString path = InstanceEndpointPath(name);
    if (path.isEmpty())
        return -1;
    COPYDATASTRUCT request = {INSTANCE_RAISE_REQUEST, 0, nullptr};
    LRESULT raised = 0;
    if (SendCopyDataTo(path, 0, request, timeoutMs, &raised) != 0)
        return -1;
    return raised != 0 ? 1 : 0;
}
