#pragma once

// What every fuzz target shares: turning the input into text, and stopping hard on a broken rule.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken invariant is a finding: print where and abort so libFuzzer saves the input.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition);           \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

namespace vrx::fuzz {

inline QByteArray Bytes(const uint8_t *data, size_t size) {
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Text inputs are UTF-8, so seeds stay readable; invalid sequences still arrive as U+FFFD.
inline QString Text(const uint8_t *data, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

// One field per line (a line feed separates them; a carriage return stays part of the field).
inline QStringList Lines(const uint8_t *data, size_t size) {
    return Text(data, size).split(u'\n');
}

} // namespace vrx::fuzz
