#include "core/StoryLinks.h"

namespace kelva {

std::vector<MenuChoice> MenuChoices(const CNovelItem& item, const CNovelItems& items,
                                    const CNovelCounters& counters)
{
    std::vector<MenuChoice> choices;
    for (const CNovelLink& link : item.Links) {
        if (!LinkHolds(link, counters)) continue;
        const int target = items.IndexOf(link.Target);
        if (target < 0) continue;
        choices.push_back({std::to_string(choices.size() + 1) + ". " + link.Caption, target});
    }
    return choices;
}

int AutoLinkTarget(const CNovelItem& item, const CNovelItems& items, const CNovelCounters& counters)
{
    for (int i = kLinksPerItem - 1; i >= 0; --i) {
        if (LinkHolds(item.Links[static_cast<size_t>(i)], counters)) {
            return items.IndexOf(item.Links[static_cast<size_t>(i)].Target);
        }
    }
    return -1;
}

}  // namespace kelva
