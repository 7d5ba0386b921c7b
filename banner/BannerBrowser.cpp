#include "banner/BannerBrowser.h"

HRESULT BannerBrowser::GetHostInfo(DOCHOSTUIINFO* info) {
    if (!info) return E_POINTER;
    info->dwFlags |= DOCHOSTUIFLAG_SCROLL_NO;
    return S_OK;
}
