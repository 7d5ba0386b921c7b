#include "app/InstallRecords.h"

#include <windows.h>

#include <string>

#include "app/BuildConfig.h"
#include "app/TextConv.h"
#include "app/UniqueHandle.h"

void WriteShareRecord(std::string_view token) {
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE", 0, KEY_READ | KEY_WRITE, &raw) != ERROR_SUCCESS) return;
    UniqueRegKey software(raw);
    raw = nullptr;
    if (RegCreateKeyA(software.Get(), WideToAnsi(kShareKeyPath).c_str(), &raw) != ERROR_SUCCESS) return;
    UniqueRegKey share(raw);
    RegSetValueExA(share.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(token.data()),
                   static_cast<DWORD>(token.size()));
}

void WriteLoginProfile(const std::wstring& installDir, int channelId) {
    if (channelId <= 0) return;
    const std::string value = std::to_string(channelId);
    const std::string path = WideToAnsi(installDir) + kLoginProfileName;
    WritePrivateProfileStringA("ChannelID", "ChannelID", value.c_str(), path.c_str());
}
