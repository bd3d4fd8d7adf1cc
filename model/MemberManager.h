#pragma once
// Added party members: 20 persons to begin with, one more for each post bonus, at most 10 more,
// and at least three hours between two additions. A member exists when its record "member_%d"
// does; every question reads the store afresh.
#include <cstdint>
#include <string>

#include "platform/foundation/Value.h"

class MemberManager {
public:
    MemberManager() = delete;

    // "member_%d".
    static std::string memberInfoUserDefaultsKeyWithId(int64_t memberId);
    // The record, or nil when absent, not a dictionary or empty.
    static Value memberInfoWithId(int64_t memberId);
    static bool haveMemberWithId(int64_t memberId);
    // Stores {member_id: id} (no flush) and posts "memberUpdated".
    static void addMemberWithId(int64_t memberId);
    // Adds member numAddedMembers + 1; NO (and nothing changes) past the tenth.
    static bool addMember();
    // Members 1 to 10 that have a record (gaps allowed).
    static int64_t numAddedMembers();
    static int64_t numTotalMembers();
    static bool isMaxMember();
    // 10800 - (now - timestamp_post_bonus), not clamped: zero or below means a member may be
    // earned now. "now" is the wall clock of the main run loop.
    static double leftTimeToAddMember();
    static bool canAddMember();

    static constexpr int64_t kBasePartySize = 20;
    static constexpr int64_t kMaxAddedMembers = 10;
    static constexpr double kAddMemberSpacing = 10800.0;
};
