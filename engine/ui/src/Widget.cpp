// The widget base: placement, alignment, ticks, fades and opacity.
#include "ui/Widget.h"

#include "core/LocManager2.h"
#include "ui/ElementHost.h"
#include "ui/Template.h"

int WidgetTicks(FIXED_FLOAT seconds) {
    // An arithmetic shift floors, so negative delays round toward minus infinity.
    return static_cast<int>((static_cast<std::int64_t>(seconds) * 8448) >> 16);
}

FIXED_FLOAT WidgetFadeStep(FIXED_FLOAT seconds) {
    if (seconds <= 0) return kOpacityFull;
    // 1044480 = 65280 x 16: the duration is counted in sixteenths of a tick, then in whole ticks.
    const std::int64_t ticks = (static_cast<std::int64_t>(seconds) * 8448 / 256) / 16;
    if (ticks == 0) return kOpacityFull;
    return static_cast<FIXED_FLOAT>(1044480 / ticks);
}

XWidget::XWidget(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context)
    : CXElement(parent, nullptr), m_pTemplate(templ), m_pRecord(record) {
    if (context != nullptr) m_Context = *context;
    if (m_Context.name.Length() == 0 && record != nullptr) m_Context.name = record->name;
}

XWidget::~XWidget() {
    if (m_bOwnsRecord) SafeDelete(m_pRecord);
}

XWidget* XWidget::ParentWidget() const {
    return m_pParent != nullptr && m_pParent->IsWidget() ? static_cast<XWidget*>(m_pParent) : nullptr;
}

void XWidget::RunProcess() {
    ++m_nTickCounter;
    ProcessFadeInOutEffect();
}

void XWidget::Hide() {
    m_bVisible = false;
    if (m_pParent != nullptr && m_pParent->GetActiveObjectPtr() == this) m_pParent->SetNextActiveObject(XKEY_NEXT2);
}

int XWidget::SetNextActiveObject(int /*key*/) { return 0; }

int XWidget::SetPrevActiveObject(int /*key*/) { return 0; }

int XWidget::OnInitWidget() {
    InitWidgetPosition();
    if (IsRoot()) return 1;
    if (m_Context.inEffect) {
        m_bFadeInPending = true;
        m_nFadeInStart = WidgetTicks(m_Context.inDelay);
        m_nFadeInStep = WidgetFadeStep(m_Context.inDuration);
    }
    if (m_Context.outEffect) {
        m_bFadeOutScheduled = true;
        m_nFadeOutStart = WidgetTicks(m_Context.outDelay);
        // A fade-out never starts before the fade-in; a negative start waits for a destroy step.
        if (m_nFadeOutStart > 0 && m_nFadeOutStart < m_nFadeInStart) m_nFadeOutStart = m_nFadeInStart;
        m_nFadeOutStep = WidgetFadeStep(m_Context.outDuration);
    }
    m_nOwnOpacity = m_bFadeInPending ? 0 : kOpacityFull;
    RecalcTotalOpacity();
    return 1;
}

void XWidget::InitWidgetPosition() {
    m_AlignX = m_Context.alignX;
    m_AlignY = m_Context.alignY;
    m_AlignXInParent = m_Context.alignXInParent;
    m_AlignYInParent = m_Context.alignYInParent;
    int x = 0;
    int y = 0;
    if (!IsRoot() && m_pParent != nullptr) {
        XWidget* parent = ParentWidget();
        const TCoord2D origin =
            parent != nullptr ? parent->GetOrigin() : TCoord2D{m_pParent->GetPosition().x, m_pParent->GetPosition().y};
        x = m_Context.x + origin.x;
        y = m_Context.y + origin.y;
    }
    const int w = m_pRecord != nullptr ? m_pRecord->width : 0;
    const int h = m_pRecord != nullptr ? m_pRecord->height : 0;
    SetPosition(x, y, w < 1 ? 1 : w, h < 1 ? 1 : h);
}

void XWidget::OffsetWidgetPosition(int dx, int dy) {
    SetPosition(m_Rect.x + dx, m_Rect.y + dy, m_Rect.width, m_Rect.height);
}

TCoord2D XWidget::GetOrigin() { return {m_Rect.x, m_Rect.y}; }

TElementSize XWidget::GetSize() { return {m_Rect.width, m_Rect.height}; }

TCoordRect2D XWidget::GetDrawingRect() {
    const TCoord2D origin = GetOrigin();
    const TElementSize size = GetSize();
    return {origin.x, origin.y, size.width, size.height};
}

bool XWidget::IsFadingIn() {
    return !IsFadingOut() && m_bFadeInPending && m_nTickCounter >= m_nFadeInStart && m_nOwnOpacity < kOpacityFull;
}

bool XWidget::IsFadingOut() { return m_bFadeOutScheduled && m_nFadeOutStart >= 0 && m_nTickCounter >= m_nFadeOutStart; }

void XWidget::ProcessFadeInOutEffect() {
    if (IsFadingOut()) {
        // The widget reaches 0 on one tick and is flagged on the next, so its last frame is drawn empty.
        if (m_nOwnOpacity >= 1) {
            const FIXED_FLOAT next = m_nOwnOpacity - m_nFadeOutStep;
            ApplyOpacity(next < 0 ? 0 : next);
        } else {
            m_bDestroyPending = true;
        }
    } else if (IsFadingIn()) {
        const FIXED_FLOAT next = m_nOwnOpacity + m_nFadeInStep;
        ApplyOpacity(next > kOpacityFull ? kOpacityFull : next);
    }
}

void XWidget::RecalcTotalOpacity() {
    XWidget* parent = ParentWidget();
    if (IsRoot() || IsGroupWidget() || parent == nullptr) {
        m_nTotalOpacity = m_nOwnOpacity;
        return;
    }
    const FIXED_FLOAT parentOpacity = parent->GetOpacity();
    m_nTotalOpacity = parentOpacity == kOpacityFull
                          ? m_nOwnOpacity
                          : static_cast<FIXED_FLOAT>((static_cast<std::int64_t>(m_nOwnOpacity) * parentOpacity) >> 16);
}

void XWidget::ApplyOpacity(FIXED_FLOAT opacity) {
    m_nOwnOpacity = opacity;
    RecalcTotalOpacity();
    for (int i = 0; i < GetChildCount(); ++i) {
        CXElement* child = GetChildPtrAt(i);
        if (child->IsWidget()) static_cast<XWidget*>(child)->RecalcTotalOpacity();
    }
    XWidget* background = GetBackgroundWidget();
    if (m_pRecord != nullptr && m_pRecord->kind == kWidgetDialog && background != nullptr)
        background->ApplyOpacity(opacity);
}

void XWidget::ApplySimilarOpacityToAllChildren(FIXED_FLOAT opacity) {
    m_nOwnOpacity = opacity;
    RecalcTotalOpacity();
    for (int i = 0; i < GetChildCount(); ++i) {
        CXElement* child = GetChildPtrAt(i);
        if (child->IsWidget()) static_cast<XWidget*>(child)->ApplySimilarOpacityToAllChildren(opacity);
    }
    if (XWidget* background = GetBackgroundWidget()) background->ApplySimilarOpacityToAllChildren(opacity);
}

void XWidget::ReInitWidgetPosition() {
    InitWidgetPosition();
    ApplyAlignType();
}

void XWidget::DeleteAllChildWidgets() {
    for (int i = GetChildCount() - 1; i >= 0; --i) {
        CXElement* child = GetChildPtrAt(i);
        SAFE_FREE_XELEMENT(child);
    }
}

void XWidget::ApplyAlignType() {
    if (!IsRoot()) {
        const TElementSize size = GetSize();
        int dx = m_AlignX == 0 ? 0 : m_AlignX == 1 ? size.width >> 1 : size.width;
        int dy = m_AlignY == 0 ? 0 : m_AlignY == 1 ? size.height >> 1 : size.height;
        if (m_pParent != nullptr) {
            XWidget* parent = ParentWidget();
            const TElementSize parentSize = parent != nullptr ? parent->GetSize() : m_pParent->GetOriginalSize();
            if (m_AlignXInParent == 1) dx -= parentSize.width >> 1;
            if (m_AlignXInParent == 2) dx -= parentSize.width;
            if (m_AlignYInParent == 1) dy -= parentSize.height >> 1;
            if (m_AlignYInParent == 2) dy -= parentSize.height;
        }
        OffsetWidgetPosition(-dx, -dy);
    }
    for (int i = 0; i < GetChildCount(); ++i) {
        CXElement* child = GetChildPtrAt(i);
        if (child->IsWidget()) static_cast<XWidget*>(child)->ApplyAlignType();
    }
}

XWidget* XWidget::FindChildWithWidgetId(const char* id) {
    if (id == nullptr) return nullptr;
    if (m_pRecord != nullptr && m_pRecord->name == id) return this;
    for (int i = 0; i < GetChildCount(); ++i) {
        CXElement* child = GetChildPtrAt(i);
        if (!child->IsWidget()) continue;
        if (XWidget* found = static_cast<XWidget*>(child)->FindChildWithWidgetId(id)) return found;
    }
    return nullptr;
}

XWPARAM XWidget::Id2WParam() const { return XIdParam(m_pRecord != nullptr ? m_pRecord->name.GetData() : nullptr); }

void XWidget::SheduleCreateWithEffect(FIXED_FLOAT delay, FIXED_FLOAT duration) {
    if (delay == 0 && duration == 0) return;
    m_bFadeInPending = true;
    m_nFadeInStart = m_nTickCounter + WidgetTicks(delay);
    m_nFadeInStep = WidgetFadeStep(duration);
    ApplyOpacity(duration > 0 ? 0 : kOpacityFull);
}

void XWidget::SheduleDestroyWithEffect(FIXED_FLOAT delay, FIXED_FLOAT duration) {
    if (delay == 0 && duration == 0) {
        m_bDestroyPending = true;
        return;
    }
    m_nFadeOutStart = m_nTickCounter + WidgetTicks(delay);
    m_nFadeOutStep = WidgetFadeStep(duration);
    m_bFadeOutScheduled = true;
}

bool XWidget::IsFadingNow() {
    if (IsFadingIn() || IsFadingOut()) return true;
    for (int i = 0; i < GetChildCount(); ++i) {
        CXElement* child = GetChildPtrAt(i);
        if (child->IsWidget() && static_cast<XWidget*>(child)->IsFadingNow()) return true;
    }
    return false;
}

bool XWidget::IsFadingThisOrParentNow() {
    for (XWidget* w = this; w != nullptr; w = w->ParentWidget())
        if (w->IsFadingIn() || w->IsFadingOut() || w->IsWaitingToFadeIn()) return true;
    return false;
}

bool XWidget::IsFadingOutThisOrParentNow() {
    for (XWidget* w = this; w != nullptr; w = w->ParentWidget()) {
        if (w->IsFadingOut()) return true;
        if (w->IsFadingIn() || w->IsWaitingToFadeIn()) return false;
    }
    return false;
}

bool XWidget::IsFadingInThisOrParentNow() {
    for (XWidget* w = this; w != nullptr; w = w->ParentWidget()) {
        if (w->IsFadingIn() || w->IsWaitingToFadeIn()) return true;
        if (w->IsFadingOut()) return false;
    }
    return false;
}

XWidget* XWidget::GetShoulderButton(int n) {
    for (int i = 0; i < GetChildCount(); ++i) {
        CXElement* child = GetChildPtrAt(i);
        if (!child->IsWidget() || !child->IsVisible()) continue;
        auto* widget = static_cast<XWidget*>(child);
        if (widget->IsButtonWidget() && widget->GetSoftKeyId() == n) return widget;
    }
    return nullptr;
}

bool XWidget::IsActiveChild() {
    CXElement* onPath = this;
    for (CXElement* ancestor = m_pParent; ancestor != nullptr && ancestor->GetParent() != nullptr;
         ancestor = ancestor->GetParent()) {
        if (ancestor->GetActiveObjectPtr() != onPath) return false;
        onPath = ancestor;
    }
    return true;
}

IDibBitmap* XWidget::GetBackBuffer() const {
    IElementHost* game = GetGamePtr();
    return game != nullptr ? game->Screen().m_pBackBuffer : nullptr;
}

void XWidget::GetLocalizedCaption(CommonString& out) {
    IElementHost* game = GetGamePtr();
    CLocManager2* localisation = game != nullptr ? game->GetLocManager() : nullptr;
    if (localisation == nullptr || m_pRecord == nullptr || m_pRecord->txtid.Length() == 0) return;
    out = localisation->LoadString(m_pRecord->txtid.GetData());
}
