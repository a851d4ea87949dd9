#pragma once

// What an EmulatedLan is made of, shared by its description (EmulatedLan.cpp) and its making
// (LanWiring.cpp).

#include "EmulatedLan.h"

namespace vrx::lan {

enum class Role { Switch, Computer, Router, Reader, Host };

struct EmulatedLan::Lan {
    QString name;
    QHostAddress network;
    int prefix = 0;
    QHostAddress gateway; // null: worked out when built
    int index = 0;        // its bridge is br<index>, its ports p<index>-<n>
};

struct EmulatedLan::Card {
    QString name; // inside its node
    QString lan;
    QHostAddress address;
    QString mac;     // empty: the kernel's choice
    int prefix = -1; // a subnet of its own on the LAN's wire; -1: the LAN's
};

struct EmulatedLan::Node {
    QString name;
    Role role = Role::Host;
    QString space; // its namespace
    QList<Card> cards;
    QStringList simulatorOptions;
    QStringList routes; // "ip route add" arguments
};

inline quint32 Mask(int prefix) {
    return prefix <= 0 ? 0 : ~quint32(0) << (32 - prefix);
}

} // namespace vrx::lan
