#pragma once

#include "link/SocketErrors.h"

#include <exception>

namespace vrx {

// What a failing socket operation throws. The operation handlers catch it at their own level and
// report error.number through ShowSocketError or its words (src/words) in a message box; the step in
// which it was thrown ends there, as a run-time failure of the socket control would.
class SocketException : public std::exception {
public:
    explicit SocketException(SocketError error)
        : error_(std::move(error))
        , what_("socket error " + QByteArray::number(error_.number)) {}

    const SocketError &error() const noexcept { return error_; }
    int number() const noexcept { return error_.number; }
    const char *what() const noexcept override { return what_.constData(); }

private:
    SocketError error_;
    QByteArray what_;
};

} // namespace vrx
