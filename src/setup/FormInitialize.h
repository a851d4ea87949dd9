#pragma once

#include <iosfwd>
#include <string>

namespace vrx {

class ComponentPlatform;

// Where start-up puts the two control libraries.
enum class ComponentLayer {
    // The per-user stand-in (StandInComponentPlatform): notes in the user's own data folder
    // (%LOCALAPPDATA% on Windows, ~/.local/share on Linux). The default everywhere.
    StandIn,
    // The system directory and Regsvr32 (WindowsComponentPlatform). Only a Windows build whose packager
    // named both library files at configure time has it; nothing else ever writes into System32.
    SystemDirectory,
};

// The layer this build runs at start-up.
ComponentLayer BuiltComponentLayer();

// Runs when the window object is created, before its controls exist: makes sure the two control
// libraries are in place ("MSWINSCK.OCX" id 101, then "msflxgrd.ocx" id 102), results ignored. The
// window opens whatever happens: a failure of the stand-in is reported once on standard error and
// gives an empty text; a failure of the system-directory layer gives the text the window shows in a box.
std::string Form_Initialize();

// The sequence itself, over any platform; lets failures through.
void Form_Initialize(ComponentPlatform &platform);

// The sequence with failures caught: reports the first one as a single line on errors and gives false.
bool InitializeComponentsOrReport(ComponentPlatform &platform, std::ostream &errors);

// The sequence with failures caught: the first one as the one line a message box shows, or empty
// when both libraries are in place. The system's own error text is kept, in the system's code page.
std::string InitializeComponentsOrMessage(ComponentPlatform &platform);

} // namespace vrx
