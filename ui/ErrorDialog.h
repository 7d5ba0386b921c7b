#pragma once
// The failure panel over the main window: it names what failed, lists the likely causes and
// offers "OK" (leave the install paused) and, after a download failure, "download again".
// A layered window, transparent but for its panel, owned by the main window and laid
// exactly over it. Not modal. Its buttons tell the owner with WM_FAILURE_OK or
// WM_FAILURE_RETRY before the panel hides.

#include "skin/SkinWindow.h"

class SkinButton;
class SkinLabel;

inline constexpr UINT WM_FAILURE_RETRY = WM_APP + 3;
inline constexpr UINT WM_FAILURE_OK = WM_APP + 4;
inline constexpr int BUTTON_FAILURE_OK = 1002;
inline constexpr int BUTTON_FAILURE_RETRY = 1003;

class ErrorDialog final : public SkinWindow {
public:
    // `area` is the owner's client rectangle; the dialog is created hidden, centred on the
    // owner.
    ErrorDialog(const RECT& area, HWND owner);

    // Fills the texts of `kind` (0 download, 1 install, other: the lobby could not start)
    // and shows the panel. On the dialog's thread.
    void ShowFailure(int kind);

    int OnEvent(const SkinEvent& event, SkinElement* sender) override;
    int IsDragArea(RECT* area, SkinElement* element) override;

    SkinButton* OkButton() const { return okButton_; }
    SkinButton* RedownloadButton() const { return redownloadButton_; }
    SkinLabel* Title() const { return failureTitle_; }
    SkinLabel* Header() const { return failureHeader_; }
    SkinLabel* Reasons() const { return failureReasons_; }

private:
    HWND ownerWindow_ = nullptr;
    SkinElement* errorPanel_ = nullptr;
    SkinButton* okButton_ = nullptr;
    SkinButton* redownloadButton_ = nullptr;
    SkinLabel* failureTitle_ = nullptr;
    SkinLabel* failureHeader_ = nullptr;
    SkinLabel* failureReasons_ = nullptr;
};
