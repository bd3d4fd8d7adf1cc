#include "overlays/HarborListCell.h"

#include "model/DungeonManager.h"
#include "model/DungeonStaticData.h"
#include "model/MonsterManager.h"
#include "model/MonsterStaticData.h"
#include "platform/resources/Format.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace {
constexpr Color kOpenText = Color::fromRGBA8(0xf4, 0xf1, 0xe8);
constexpr Color kLockedText = Color::fromRGBA8(0x4a, 0x4e, 0x69);
// Stars: the boss for the first, five of the six own monsters for the second, all six for the third.
constexpr unsigned kSecondStarCount = 5;
constexpr unsigned kThirdStarCount = 6;
}  // namespace

HarborListCell::HarborListCell() : TableViewCell(reuseIdentifierName()) {}

void HarborListCell::awakeFromLayout() {
    auto take = [this](auto& outlet, const char* name) {
        outlet = LayoutLoader::outlet<typename std::decay_t<decltype(outlet)>::element_type>(*this, name);
    };
    take(mapImgView, "mapImgView");
    take(lockImgView, "lockImgView");
    take(iconNew, "iconNew");
    take(selectImgView, "selectImgView");
    take(star1, "star1");
    take(star2, "star2");
    take(star3, "star3");
    take(dungeonNamaLabel, "dungeonNamaLabel");
    take(bossLabel, "bossLabel");
    take(monstersLabel, "monstersLabel");
}

unsigned HarborListCell::numNewMonstersHuntedInDungeonId(unsigned dungeonId) {
    unsigned count = 0;
    auto* monsters = MonsterManager::getInstance();
    for (const DungeonMonsterRow& entry : DungeonStaticData::getInstance()->monstersWithDungeonId(dungeonId))
        if (entry.isNew && monsters->huntedMonsterWithId(entry.monsterId))
            ++count;
    return count;
}

void HarborListCell::showDungeonInfo(const DungeonRow& dungeon, bool isUnlocked) {
    const unsigned n = dungeon.id;
    dungeonNamaLabel->setText(stringWithFormat("%u.%@", {Value(n), Value(dungeon.name)}));
    const std::string map = stringWithFormat("map%u@2x.png", {Value(n)});
    mapImgView->setImage(Image::exists(map) ? Image::named(map) : nullptr);
    for (const auto& star : {star1, star2, star3}) star->setHidden(true);

    unsigned count = 0;
    if (!isUnlocked) {
        lockImgView->setHidden(false);
        bossLabel->setText(stringWithFormat(NSLocalizedString("FormatStageBoss"), {Value("????")}));
    } else {
        lockImgView->setHidden(true);
        const unsigned boss = DungeonStaticData::getInstance()->bossIdWithDungeionId(n);
        bossLabel->setText(stringWithFormat(NSLocalizedString("FormatStageBoss"),
                                            {Value(MonsterStaticData::getInstance()->monsterNameWithMonsterId(boss))}));
        count = numNewMonstersHuntedInDungeonId(n);
        if (MonsterManager::getInstance()->huntedMonsterWithId(boss)) {
            star1->setHidden(false);
            star2->setHidden(count < kSecondStarCount);
            star3->setHidden(count < kThirdStarCount);
        }
    }
    for (const auto& label : {dungeonNamaLabel, bossLabel, monstersLabel}) label->setTextColor(isUnlocked ? kOpenText : kLockedText);
    monstersLabel->setText(stringWithFormat(NSLocalizedString("FormatStageMonster"), {Value(static_cast<int64_t>(count))}));
    iconNew->setHidden(!(n == latestUnlockedDungeonId_ && DungeonManager::currentExploreCntWithDungeonId(n) == 0));
}
