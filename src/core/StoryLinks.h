// Which links of an item hold: the choices a menu link offers and the target an
// automatic link takes.
#pragma once

#include <string>
#include <vector>

#include "data/NovelCounters.h"
#include "data/NovelData.h"

namespace kelva {

// One choice of a menu link: the caption as shown ("1. ...") and the target item.
struct MenuChoice {
    std::string Caption;
    int Target = -1;
};

// The choices a menu-link item offers: links 0 to 7 that hold and whose target exists,
// numbered from 1 without gaps.
std::vector<MenuChoice> MenuChoices(const CNovelItem& item, const CNovelItems& items,
                                    const CNovelCounters& counters);
// The item an automatic link goes to: the highest-numbered link that holds; -1 when none
// holds or its target doesn't exist.
int AutoLinkTarget(const CNovelItem& item, const CNovelItems& items, const CNovelCounters& counters);

}  // namespace kelva
