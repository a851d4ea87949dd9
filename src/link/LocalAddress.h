#pragma once

#include <QString>

namespace vrx {

// The computer's primary IPv4 address as dotted text (what the socket reports as its LocalIP):
// the first up, non-loopback interface's first IPv4 address; "127.0.0.1" when there is none.
// Sends nothing and binds nothing.
QString LocalIP();

} // namespace vrx
