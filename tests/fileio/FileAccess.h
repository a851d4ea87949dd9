#pragma once

#include <QString>

// Who may open a file, as the system records it, in words a test compares and prints.
namespace vrx::test {

// Linux: "mode 0644". Windows: whether the access list is protected from the folder's ("protected" or
// "inherits"), then its entries ("allow S-1-5-21-...-1000 0x1f01ff").
QString AccessOf(const QString &path);

// What AccessOf says of a file that the current user alone may read and write.
QString OwnerOnlyAccess();

// Empty where the system keeps what a program sets of who may open a file; else one line saying why not.
QString AccessNotKept();

} // namespace vrx::test
