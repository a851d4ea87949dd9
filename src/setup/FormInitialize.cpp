#include "setup/FormInitialize.h"

#include "setup/ComponentInstaller.h"

#include <exception>
#include <iostream>

#ifdef _WIN32
#include "setup/WindowsComponentPlatform.h"
#else
#include "setup/StandInComponentPlatform.h"
#endif

namespace vrx {

void Form_Initialize(ComponentPlatform &platform) {
    InstallComponent(platform, SocketControlFile, SocketControlResource);
    InstallComponent(platform, GridControlFile, GridControlResource);
}

bool InitializeComponentsOrReport(ComponentPlatform &platform, std::ostream &errors) {
    try {
        Form_Initialize(platform);
        return true;
    } catch (const std::exception &failure) {
        errors << "vrx-config: component check skipped, the window opens without it: " << failure.what()
               << std::endl;
        return false;
    }
}

void Form_Initialize() {
#ifdef _WIN32
    WindowsComponentPlatform platform;
    Form_Initialize(platform);
#else
    // Qt provides the socket and the grid here; the stand-in layer only keeps the same check running, so
    // its failure must not keep the window from opening.
    StandInComponentPlatform platform;
    InitializeComponentsOrReport(platform, std::cerr);
#endif
}

} // namespace vrx
