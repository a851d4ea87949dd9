#pragma once

#include "setup/ComponentPlatform.h"

#include <cstdint>
#include <string>

namespace vrx {

// The two control libraries the window hosts, held as resources of type "CUSTOM".
inline constexpr const char *ComponentResourceType = "CUSTOM";
inline constexpr const char *SocketControlFile = "MSWINSCK.OCX";
inline constexpr std::uint16_t SocketControlResource = 101;
inline constexpr const char *GridControlFile = "msflxgrd.ocx";
inline constexpr std::uint16_t GridControlResource = 102;

// Size of the buffer handed to the system for its directory.
inline constexpr std::uint32_t SystemDirBufferSize = 260;

// The system directory without a trailing backslash; empty when it cannot be obtained.
std::string GetSystemDir(ComponentPlatform &platform);

// Makes sure <system directory>\<fileName> exists. True when it was already there (nothing done); false
// when it has just been written from the resource and its registration started.
bool InstallComponent(ComponentPlatform &platform, const std::string &fileName, std::uint16_t resourceId);

// The registration command for a library at this path: three blanks after the program, the path unquoted.
std::string RegistrationCommand(const std::string &path);

} // namespace vrx
