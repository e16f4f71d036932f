// The Home page's link-group rule.
#include "ui/pages/SysLinkGroups.h"

#include "core/ChannelLink.h"

namespace velmar::syslinks {

namespace {

int channelCount(uint8_t kind) {
    return kind == kKindInput ? kInputCount : kind == kKindOutput ? kOutputCount : 0;
}

uint8_t* groups(CoreState& s, uint8_t kind) {
    return kind == kKindInput ? s.inputLinkGroup : s.outputLinkGroup;
}
const uint8_t* groups(const CoreState& s, uint8_t kind) {
    return kind == kKindInput ? s.inputLinkGroup : s.outputLinkGroup;
}

bool valid(uint8_t kind, int channel, int group) {
    const int n = channelCount(kind);
    return n > 0 && channel >= 0 && channel < n && group >= 0 && group < n;
}

} // namespace

bool hasMembers(const CoreState& s, uint8_t kind, int channel) {
    const int n = channelCount(kind);
    if (channel < 0 || channel >= n) return false;
    const uint8_t* g = groups(s, kind);
    for (int c = 0; c < n; ++c)
        if (c != channel && g[c] == channel) return true;
    return false;
}

bool selectable(const CoreState& s, uint8_t kind, int channel, int group) {
    if (!valid(kind, channel, group)) return false;
    if (group == channel) return true;
    return groups(s, kind)[group] == group;
}

bool choose(CoreState& s, uint8_t kind, int channel, int group) {
    if (!selectable(s, kind, channel, group)) return false;
    uint8_t* g = groups(s, kind);
    if (g[channel] == group) return true;
    if (group != channel && g[channel] == channel && hasMembers(s, kind, channel)) {
        // The leader leaves: its lowest member leads the rest from now on.
        const int n = channelCount(kind);
        int heir = -1;
        for (int c = 0; c < n && heir < 0; ++c)
            if (c != channel && g[c] == channel) heir = c;
        for (int c = 0; c < n; ++c)
            if (c != channel && g[c] == channel) g[c] = uint8_t(heir);
    }
    JoinLinkGroup(s, kind, channel, group);
    return true;
}

} // namespace velmar::syslinks
