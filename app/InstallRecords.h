#pragma once
// The installation records outside the lobby's own files. Best effort: failures are
// neither reported nor retried.

#include <string>
#include <string_view>

inline constexpr char kLoginProfileName[] = "IsLobbyLogin.dat";

// HKEY_CURRENT_USER\SOFTWARE\<share key>, default value, REG_SZ, the token's bytes
// without a terminating zero: other programs read this value as it stands.
void WriteShareRecord(std::string_view token);

// [ChannelID] ChannelID=<channelId> in "IsLobbyLogin.dat" inside `installDir` (which ends
// with a backslash). Nothing is written for a channel of 0 or less.
void WriteLoginProfile(const std::wstring& installDir, int channelId);
