#include "model/MemberManager.h"

#include "explore/NMCommon.h"
#include "model/GameEvents.h"
#include "model/SavedStateKeys.h"
#include "platform/core/RunLoop.h"

std::string MemberManager::memberInfoUserDefaultsKeyWithId(int64_t memberId) { return SavedStateKeys::keyWithId("member_", memberId); }

Value MemberManager::memberInfoWithId(int64_t memberId) {
    return SavedStateKeys::recordForKey(memberInfoUserDefaultsKeyWithId(memberId));
}

bool MemberManager::haveMemberWithId(int64_t memberId) { return !memberInfoWithId(memberId).isNil(); }

void MemberManager::addMemberWithId(int64_t memberId) {
    SavedStateStore::standardUserDefaults().setObject(Value{{"member_id", Value(static_cast<long long>(memberId))}},
                                                      memberInfoUserDefaultsKeyWithId(memberId));
    NMCommon::sendNotification(GameEvents::kMemberUpdated);
}

bool MemberManager::addMember() {
    const int64_t next = numAddedMembers() + 1;
    if (next > kMaxAddedMembers) return false;
    addMemberWithId(next);
    return true;
}

int64_t MemberManager::numAddedMembers() {
    int64_t count = 0;
    for (int64_t id = 1; id <= kMaxAddedMembers; ++id)
        if (haveMemberWithId(id)) ++count;
    return count;
}

int64_t MemberManager::numTotalMembers() { return numAddedMembers() + kBasePartySize; }

bool MemberManager::isMaxMember() { return numAddedMembers() > kMaxAddedMembers - 1; }

double MemberManager::leftTimeToAddMember() {
    const double now = RunLoop::main().wallTime();
    const double last = SavedStateStore::standardUserDefaults().doubleForKey(SavedStateKeys::timestampPostBonus);
    return kAddMemberSpacing - (now - last);
}

bool MemberManager::canAddMember() {
    if (isMaxMember()) return false;
    return !(leftTimeToAddMember() > 0.0);
}
