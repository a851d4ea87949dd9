#pragma once

#include <QString>

#include <optional>

namespace vrx {

// The five socket conditions the operator is told about in fixed words.
namespace SocketErrorNumber {
constexpr int InvalidArgument = 10014;
constexpr int AddressInUse = 10048;
constexpr int ConnectionReset = 10054;
constexpr int WrongState = 40006;
constexpr int OutOfRange = 40014;
} // namespace SocketErrorNumber

struct SocketError {
    int number = 0;
    QString description; // always a plain description an operator can act on
};

// The text ShowSocketError puts in its box; empty when a reset is to pass silently.
std::optional<QString> SocketErrorMessage(const SocketError &error, bool silentReset);

} // namespace vrx
