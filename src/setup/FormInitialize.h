#pragma once

#include <iosfwd>

namespace vrx {

class ComponentPlatform;

// Runs when the window object is created, before its controls exist: makes sure the two control
// libraries are in place ("MSWINSCK.OCX" id 101, then "msflxgrd.ocx" id 102), results ignored.
// On Windows it catches nothing, so a failure ends start-up. Elsewhere it runs the stand-in layer in the
// user's data folder, and a failure there is reported once on standard error and the window still opens.
void Form_Initialize();

// The sequence itself, over any platform; lets failures through.
void Form_Initialize(ComponentPlatform &platform);

// The sequence with failures caught: reports the first one as a single line on errors and gives false.
bool InitializeComponentsOrReport(ComponentPlatform &platform, std::ostream &errors);

} // namespace vrx
