#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace vrx {

// What an edit by the operator leaves in a field: the text and where the caret ends up.
struct OperatorEdit {
    QString text;
    int cursor = 0;
    friend bool operator==(const OperatorEdit &, const OperatorEdit &) = default;
};

using CharacterFilter = std::function<bool(char16_t)>;

// Judges one operator edit of a field that held `before` and would now hold `after` with the caret at
// `cursor` (just behind whatever was inserted). Inserted characters that `accept` refuses are dropped and
// the inserted part is cut where the field would pass `limit` characters (0: no limit), keeping its
// head, as a native edit box does with a paste. Deleting is always allowed. Gives nothing when the edit
// leaves nothing to keep, so the field stays as it was.
std::optional<OperatorEdit> JudgeOperatorEdit(const QString &before, const QString &after, int cursor,
                                              int limit, const CharacterFilter &accept = {});

} // namespace vrx
