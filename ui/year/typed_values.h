#pragma once

#include <functional>

class QAbstractSpinBox;
class QString;

namespace sutograf {

// How long a value that one more key could still change waits before it counts: longer than the
// pause between two keys of one number, short enough that stopping reads as done.
inline constexpr int kTypingPauseMs = 700;

// Has what is typed into `box` count as soon as it is a whole value, without a count for every key on
// the way: at once when no further key could make it another value (isFinal: "2030", "23:30"), after
// kTypingPauseMs without a key when one could ("203" on its way to 2030). Text that is no value never
// counts; Enter and leaving the box count at once, as ever. Precondition: the box does not track the
// keyboard itself.
void countTypingAtOnce(QAbstractSpinBox* box, std::function<bool(const QString& text)> isFinal);

} // namespace sutograf
