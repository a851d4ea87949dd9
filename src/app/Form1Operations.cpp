#include "app/Form1.h"

namespace vrx {

// The three operations: read the reader's parameters, configure the reader, download the keys.
// Each one reports through Messages() and runs inside Guarded() so that a failure leaves the window
// usable with its buttons enabled.

void Form1::Command1_Click() {}

void Form1::Command3_Click() {}

void Form1::Command5_Click() {}

} // namespace vrx
