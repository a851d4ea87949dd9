#include "app/OperatorEdit.h"

#include <algorithm>

namespace vrx {

std::optional<OperatorEdit> JudgeOperatorEdit(const QString &before, const QString &after, int cursor,
                                              int limit, const CharacterFilter &accept) {
    cursor = std::clamp(cursor, 0, int(after.size()));
    // The text behind the caret is what was behind the edit before; whatever precedes it and differs
    // from the old text is the inserted part.
    const int tail = int(after.size()) - cursor;
    const int headLimit = std::min<int>(cursor, std::max<int>(0, int(before.size()) - tail));
    int head = 0;
    while (head < headLimit && before.at(head) == after.at(head))
        ++head;

    QString inserted = after.mid(head, cursor - head);
    if (accept)
        inserted.removeIf([&accept](QChar c) { return !accept(c.unicode()); });
    const int kept = head + tail;
    if (limit > 0)
        inserted.truncate(std::max(0, limit - kept));

    OperatorEdit edit{after.left(head) + inserted + after.right(tail), head + int(inserted.size())};
    if (edit.text == after)
        return OperatorEdit{after, cursor};
    if (edit.text == before)
        return std::nullopt;
    return edit;
}

} // namespace vrx
