#pragma once
// The rotating line of tips under the progress bar. The second text is listed twice, so it
// stays for two periods.

#include <cstddef>
#include <iterator>

inline constexpr const wchar_t* TIP_TABLE[] = {
    L"玩游戏赠送奖品券，奖品券可免费兑换实物奖励。",
    L"每天游戏10分钟，随着等级增长可获得的积分奖励越丰富。",
    L"每天游戏10分钟，随着等级增长可获得的积分奖励越丰富。",
    L"积分不足1000，每天可2次免费补助至1000积分。",
    L"进入休息房，无需游戏每30分钟可获得大量积分。",
};

inline int NextTipIndex(int index) {
    return index + 1 >= static_cast<int>(std::size(TIP_TABLE)) || index < 0 ? 0 : index + 1;
}
