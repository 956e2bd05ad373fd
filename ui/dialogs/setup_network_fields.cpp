#include "ui/dialogs/setup_network_fields.h"

#include <cstring>

#include "dvr/device_list_node.h"
#include "ui/dialogs/config_settings.h"

int CollectSetupNetwork(const SetupNetworkControls& controls, DVRNetworkParams* record, int* restart) {
    const DVRNetworkParams& r = *record;
    DVRNetworkParams c = r;
    SetNodeText(c.hostName, controls.hostName);
    c.httpPort = ParseLeadingInt(controls.httpPort);
    c.listenPort = ParseLeadingInt(controls.listenPort);
    SetNodeText(c.mailTo, controls.mailTo);
    c.wanEnabled = controls.wanEnabled ? 1 : 0;
    c.wanServer = controls.wanServer.value_or(r.wanServer);
    SetNodeText(c.wanUser, controls.wanUser);
    SetNodeText(c.wanPassword, controls.wanPassword);

    if (std::memcmp(&c, &r, sizeof c) == 0)
        return SETUP_NETWORK_UNCHANGED;
    *restart = c.httpPort != r.httpPort || c.listenPort != r.listenPort ||
                       std::memcmp(c.mailTo, r.mailTo, sizeof c.mailTo) != 0
                   ? 1
                   : 0;
    *record = c;
    return SETUP_NETWORK_CHANGED;
}
