// System-parameter set, network parameters, and the disk and language lists of a DVR.

#include <cstdlib>
#include <mutex>

#include "core/system_settings.h"
#include "core/window_messages.h"
#include "dvr/device_requests.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_fields.h"
#include "dvr/dvr_messages.h"
#include "dvr/dvr_parsers.h"
#include "dvr/dvr_protocol.h"
#include "dvr/list_replies.h"
#include "dvr/reply_notify.h"

int SendSetSystemParams(DVRDevice* device) {
    if (device == nullptr || device->systemParams == nullptr)
        return -1;
    const SystemSettings& params = *device->systemParams;
    char disks[32];
    char recordDir[TEXT_FIELD_SIZE];
    char snapshotPath[TEXT_FIELD_SIZE];
    EncodeTextField(params.RecordDisks, disks, sizeof disks);
    EncodeTextField(params.RecordDir, recordDir, sizeof recordDir);
    EncodeTextField(params.SnapshotPath, snapshotPath, sizeof snapshotPath);
    return SendFormatted(device, device->commandSocket, "%d %s %s %s %d %d %d %d %d %d %d %s",
                         DVR_REQ_SET_SYSTEM_PARAMS, disks, recordDir, snapshotPath, params.DiskFullAction,
                         params.VideoStandard, params.MuxMode, params.ScrollInterval, params.Language,
                         params.EnableBeep, params.Autorun, MESSAGE_TERMINATOR);
}

int SendGetNetworkParams(DVRDevice* device) {
    return SendIdRequest(device, DVR_REQ_GET_NETWORK);
}

int SendSetNetworkParams(DVRDevice* device) {
    if (device == nullptr || device->networkParams == nullptr)
        return -1;
    const DVRNetworkParams& params = *device->networkParams;
    char host[TEXT_FIELD_SIZE];
    char mailTo[TEXT_FIELD_SIZE];
    char user[TEXT_FIELD_SIZE];
    char password[TEXT_FIELD_SIZE];
    EncodeTextField(params.hostName, host, sizeof host);
    EncodeTextField(params.mailTo, mailTo, sizeof mailTo);
    if (EncodeCredentialField(params.wanUser, user, sizeof user) != 0 ||
        EncodeCredentialField(params.wanPassword, password, sizeof password) != 0)
        return -1;
    return SendFormatted(device, device->commandSocket, "%d %s %d %d %s %d %d %s %s %s", DVR_REQ_SET_NETWORK,
                         host, params.httpPort, params.listenPort, mailTo, params.wanEnabled,
                         params.wanServer, user, password, MESSAGE_TERMINATOR);
}

int SendGetDiskList(DVRDevice* device) {
    return SendIdRequest(device, DVR_REQ_GET_DISKS);
}

int SendGetLanguageList(DVRDevice* device) {
    return SendIdRequest(device, DVR_REQ_GET_LANGUAGES);
}

int ParseNetworkParams(const char* text, int length, DVRDevice* device, HWND) {
    FieldReader reader(text, length);
    int32_t id = 0;
    char host[TEXT_FIELD_SIZE];
    char mailTo[TEXT_FIELD_SIZE];
    char user[TEXT_FIELD_SIZE];
    char password[TEXT_FIELD_SIZE];
    int32_t httpPort = 0;
    int32_t listenPort = 0;
    int32_t wanEnabled = 0;
    int32_t wanServer = 0;
    if (!reader.Int(&id) || !reader.Token(host, sizeof host) || !reader.Int(&httpPort) ||
        !reader.Int(&listenPort) || !reader.Token(mailTo, sizeof mailTo) || !reader.Int(&wanEnabled) ||
        !reader.Int(&wanServer) || !reader.Token(user, sizeof user) ||
        !reader.Token(password, sizeof password))
        return -1;
    if (device->networkParams == nullptr) {
        device->networkParams.reset(static_cast<DVRNetworkParams*>(std::calloc(1, sizeof(DVRNetworkParams))));
        if (device->networkParams == nullptr)
            return -1;
    }
    DVRNetworkParams& params = *device->networkParams;
    DecodeTextField(host, params.hostName, 256);
    params.httpPort = httpPort;
    params.listenPort = listenPort;
    DecodeTextField(mailTo, params.mailTo, 256);
    params.wanEnabled = wanEnabled;
    params.wanServer = wanServer;
    DecodeCredentialField(user, params.wanUser, 256);
    DecodeCredentialField(password, params.wanPassword, 256);
    PostSetupReply(SETUP_REPLY_NETWORK, 0);
    return 0;
}

int ParseDiskList(const char* text, int length, DVRDevice* device, HWND) {
    DeviceLists& lists = device->lists;
    return ParseListMessage(
        text, length, &lists, &lists.diskWork, &lists.diskListOpen, &lists.disks, MAX_LIST_DISKS, true,
        SETUP_REPLY_DISKS, [](FieldReader* reader, DVRDiskInfo* disk, int32_t) {
            char letter = 0;
            char total[16];
            int32_t usedPercent = 0;
            char available[16];
            if (!reader->Char(&letter) || !reader->Token(total, sizeof total) || !reader->Int(&usedPercent) ||
                !reader->Token(available, sizeof available))
                return false;
            // The letter byte is widened with its sign, as the DVR's records hold it.
            disk->letter = static_cast<char16_t>(static_cast<int16_t>(static_cast<signed char>(letter)));
            DecodeTextField(total, disk->totalText, 16);
            disk->usedPercent = usedPercent;
            DecodeTextField(available, disk->availableText, 16);
            disk->next = nullptr;
            return true;
        });
}

int ParseLanguageList(const char* text, int length, DVRDevice* device, HWND) {
    DeviceLists& lists = device->lists;
    return ParseListMessage(text, length, &lists, &lists.languageWork, &lists.languageListOpen,
                            &lists.languages, MAX_LIST_LANGUAGES, true, SETUP_REPLY_LANGUAGES,
                            [](FieldReader* reader, DVRLanguageInfo* language, int32_t index) {
                                char name[TEXT_FIELD_SIZE];
                                if (!reader->Token(name, sizeof name))
                                    return false;
                                language->index = index;
                                DecodeTextField(name, language->name, 256);
                                language->next = nullptr;
                                return true;
                            });
}
