#include "setup/FormInitialize.h"

#include "setup/ComponentInstaller.h"

#include <exception>
#include <iostream>

// The system-directory layer stays free of Qt, so that it can be cross-compiled and checked on its own.
#ifdef VRX_SYSTEM_COMPONENTS
#include "setup/WindowsComponentPlatform.h"
#else
#include "setup/StandInComponentPlatform.h"
#endif

namespace vrx {

namespace {

// The failure of the first library that could not be put in place, or empty.
std::string FirstFailure(ComponentPlatform &platform) {
    try {
        Form_Initialize(platform);
        return {};
    } catch (const std::exception &failure) {
        const std::string text = failure.what();
        return text.empty() ? std::string("unknown error") : text;
    }
}

} // namespace

ComponentLayer BuiltComponentLayer() {
#ifdef VRX_SYSTEM_COMPONENTS
    return ComponentLayer::SystemDirectory;
#else
    return ComponentLayer::StandIn;
#endif
}

void Form_Initialize(ComponentPlatform &platform) {
    InstallComponent(platform, SocketControlFile, SocketControlResource);
    InstallComponent(platform, GridControlFile, GridControlResource);
}

bool InitializeComponentsOrReport(ComponentPlatform &platform, std::ostream &errors) {
    const std::string failure = FirstFailure(platform);
    if (failure.empty())
        return true;
    errors << "vrx-config: component check skipped, the window opens without it: " << failure << std::endl;
    return false;
}

std::string InitializeComponentsOrMessage(ComponentPlatform &platform) {
    // A message box shows one line; the system's texts sometimes end in a line break or hold one.
    std::string line;
    for (const char c : FirstFailure(platform)) {
        if (c == '\r')
            continue;
        line += c == '\n' ? ' ' : c;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

std::string Form_Initialize() {
#ifdef VRX_SYSTEM_COMPONENTS
    // On a standard Windows account the write into System32 is refused (the UAC default), so the
    // failure is shown and the window opens all the same: Qt needs neither library.
    WindowsComponentPlatform platform;
    return InitializeComponentsOrMessage(platform);
#else
    // Qt provides the socket and the grid; the stand-in layer only keeps the same check running, so its
    // failure must not keep the window from opening, nor interrupt the operator.
    StandInComponentPlatform platform;
    InitializeComponentsOrReport(platform, std::cerr);
    return {};
#endif
}

} // namespace vrx
