// The look the channel pages give their standard widgets (entries, push and toggle buttons, lists).
#pragma once

#include <QString>

namespace velmar {

// A style sheet for a page: dark recessed entries with an accent frame while focused, flat raised
// buttons, the band Bypass toggles in a dim amber while in force (ten flat bands must not shout) and the
// EQ BYPASS buttons in full amber while the bypass is on. Applied once to each page; its children inherit it.
QString ChannelPageStyleSheet();

} // namespace velmar
