#pragma once

namespace vrx {

// Runs when the window object is created, before its controls exist: makes sure the two control
// libraries are in place ("MSWINSCK.OCX" id 101, then "msflxgrd.ocx" id 102), results ignored.
void Form_Initialize();

} // namespace vrx
