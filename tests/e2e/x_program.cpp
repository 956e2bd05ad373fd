#include "tests/e2e/x_program.h"

#include <signal.h>
#include <sys/prctl.h>

std::unique_ptr<QProcess> StartOnDisplay(const QString& program, const QString& display,
                                         const QProcessEnvironment& settings, const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("LANG", "en_US.UTF-8");
    // Every endpoint on loopback also when the suite runs outside CTest (which sets these itself).
    const char* loopback[][2] = {{"VISTAL_DISCOVERY_ADDRESS", "127.0.0.1:18999"},
                                 {"VISTAL_DISCOVERY_REPLY_PORT", "18998"},
                                 {"VISTAL_WAN_SERVER", "127.0.0.1:19999"},
                                 {"VISTAL_UPDATE_HOST", "127.0.0.1:18080"}};
    for (const auto& [name, value] : loopback) {
        if (!env.contains(name))
            env.insert(name, value);
    }
    for (const QString& name : settings.keys())
        env.insert(name, settings.value(name));
    env.remove("LC_ALL");
    env.remove("WAYLAND_DISPLAY");
    process->setProcessEnvironment(env);
    process->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->start(program, arguments);
    process->waitForStarted(10000);
    return process;
}
