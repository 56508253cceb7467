// The small pictures of the planner's buttons, painted rather than loaded so that they stay
// sharp at any size: arrows for the day and month buttons, a dot for today, a little
// calendar for the month picker.
#pragma once

#include <QIcon>

namespace agendaglyphs {
enum class Arrow { Left, Right };
QIcon arrow(Arrow direction, bool doubled); // doubled: a month, single: a day
QIcon today();
QIcon calendar();
} // namespace agendaglyphs
