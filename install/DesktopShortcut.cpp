#include "install/DesktopShortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include "app/BuildConfig.h"
#include "app/TextConv.h"

using Microsoft::WRL::ComPtr;

std::wstring DesktopShortcutPath() {
    wchar_t desktop[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE)) return {};
    return std::wstring(desktop) + L"\\" + kBrandName + L".lnk";
}

void CreateDesktopShortcut(const std::wstring& installDir) {
    if (SUCCEEDED(CoInitialize(nullptr))) {
        {
            ComPtr<IShellLinkA> link;
            if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                           reinterpret_cast<void**>(link.GetAddressOf())))) {
                // The folder already ends with a backslash; no second one before the name.
                const std::string folder = WideToAnsi(installDir);
                const bool endsWithSlash = !installDir.empty() && (installDir.back() == L'\\' || installDir.back() == L'/');
                const std::string target = WideToAnsi(installDir + (endsWithSlash ? L"" : L"\\") + L"lobby.exe");
                link->SetPath(target.c_str());
                link->SetWorkingDirectory(folder.c_str());
                link->SetIconLocation(target.c_str(), 0);
                ComPtr<IPersistFile> file;
                const std::wstring shortcut = DesktopShortcutPath();
                if (SUCCEEDED(link.As(&file)) && !shortcut.empty()) file->Save(shortcut.c_str(), FALSE);
            }
        }
        CoUninitialize();
    }
    SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, 0, SMTO_NORMAL, 500, nullptr);
}
