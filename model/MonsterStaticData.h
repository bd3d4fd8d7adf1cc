#pragma once
// The monster table ("monsters.plist"): one entry per monster, grouped by dungeon, six per
// dungeon. Loaded once; read-only afterwards.
#include <cstdint>
#include <string>

#include "platform/core/Singleton.h"
#include "platform/foundation/Value.h"

class MonsterStaticData : public Singleton<MonsterStaticData> {
public:
    void initFile();

    // The whole table (an array of entries), nil when it could not be loaded.
    const Value& monsters() const { return monsters_; }

    // The first entry whose "id" equals the id, or nil.
    Value monsterStaticInfoWithMonsterId(unsigned monsterId) const;
    // Entries page*size .. page*size+size-1, cut at the table's end; nil when page*size is past it.
    Value monstersWithPageIndex(unsigned page, unsigned maxPerPage) const;
    // "gold" of the entry, 0 when there is none.
    unsigned goldWithMonsterId(unsigned monsterId) const;
    // "name" of the entry, "" when there is none.
    std::string monsterNameWithMonsterId(unsigned monsterId) const;

private:
    friend class Singleton<MonsterStaticData>;
    MonsterStaticData() = default;
    Value monsters_;
};
