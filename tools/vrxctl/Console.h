#pragma once

#include <QTextStream>

namespace vrxctl {

// Where a command writes: data to out, messages, progress and traces to err. Tests hand in strings.
struct Console {
    QTextStream &out;
    QTextStream &err;
    bool errIsTerminal = false; // a progress bar is drawn only on a terminal

    static Console &standard();
};

} // namespace vrxctl
