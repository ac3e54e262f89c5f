#pragma once
// The element host of the UI tests: every lower fake (sprites, render, sound, files) plus the
// pointer capture and the key locks kept as the game keeps them, and the style table, localisation,
// fixed texts and template directory a test installs, a template cache, and the sound manager,
// rotator and game-dialog widget rows a test installs. Like the game it is also the root of its
// element tree, and its own game pointer is itself. Tests set m_LastKeyYes and m_LastKeyNo to play
// the device's soft keys.

#include "testsupport/FakeSoundHost.h"
#include "testsupport/FakeSpriteHost.h"
#include "ui/ElementHost.h"

#include <string>
#include <vector>

#include "ui/TemplateCache.h"
#include "ui/WidgetMakers.h"
#include "ui/XElement.h"

class CFakeElementHost : public CXElement, public virtual IElementHost, public CFakeSpriteHost, public CFakeSoundHost {
public:
    static constexpr int kKeyCount = 32;

    CFakeElementHost() : CXElement(nullptr, nullptr) { SetGamePtr(this); }
    // Flushes the template cache as the game does; the element part must not ask a half-gone host
    // about its capture.
    ~CFakeElementHost() override;

    void XSetCapture(CXElement* element) override { m_pCapture = element; }
    void XReleaseCapture() override { m_pCapture = nullptr; }
    CXElement* XGetCapture() const override { return m_pCapture; }
    void LockKey(int key) override;
    void UnLockKey(int key) override;
    bool IsKeyLocked(int key) override { return key >= 0 && key < kKeyCount && m_KeyLock[key]; }
    void UnLockKeys() override;
    bool LastKeyCodeIsSmartphoneYes() override { return m_LastKeyYes; }
    bool LastKeyCodeIsSmartphoneNo() override { return m_LastKeyNo; }
    CUILayout* UILayout() override { return m_pUILayout; }
    CLocManager2* GetLocManager() override { return m_pLocManager; }
    CommonString GetInfoText(EInfoText which) override {
        return CommonString(m_InfoTexts[static_cast<int>(which)].c_str());
    }
    CommonString GetUIDirectory() override { return CommonString(m_UIDir.c_str()); }
    CQuorvanArray<CachedTemplate*>& TemplateCache() override { return m_TemplateCache; }
    CSoundManager* GetSoundManager() override { return m_pSoundManager; }
    CQuorvanImageRotatorScaler* GetRotatorScaler() override { return m_pRotatorScaler; }
    std::span<const TWidgetMakerRow> GameDialogWidgetMakers() override { return m_GameDialogRows; }
    void NoteWidgetInitFailed(const CommonString& id) override {
        m_FailedWidgets.emplace_back(id.GetDataConst() != nullptr ? id.GetDataConst() : "");
    }
    // Deletes every cached template, last first, as the game's flush does.
    void FlushCachedTemplates();

    CXElement* m_pCapture = nullptr;
    bool m_KeyLock[kKeyCount] = {};
    bool m_LastKeyYes = false;
    bool m_LastKeyNo = false;
    CUILayout* m_pUILayout = nullptr;       // not owned
    CLocManager2* m_pLocManager = nullptr;  // not owned
    std::string m_InfoTexts[4] = {"version", "build date", "shop link", "second shop link"};
    std::string m_UIDir = "ui\\ui_iphone\\";
    CQuorvanArray<CachedTemplate*> m_TemplateCache;
    CSoundManager* m_pSoundManager = nullptr;                // not owned
    CQuorvanImageRotatorScaler* m_pRotatorScaler = nullptr;  // not owned
    std::vector<TWidgetMakerRow> m_GameDialogRows;
    std::vector<std::string> m_FailedWidgets;  // ids told to NoteWidgetInitFailed, in order
};
