// The fixed-step frame cycle: updates at a constant rate whatever drawing costs, at most six
// catch-up updates per pass, exactly one draw per pass.
#include "app/GameBase.h"
#include "platform/Clock.h"
#include "render/DibBitmap.h"

unsigned int CGameBase::GetTickCountMs() {
    // seconds x 1000 + microseconds / 1000, kept in 32 bits on purpose: every use is an
    // unsigned difference of nearby readings.
    const long long us = platform::ClockNowUs();
    return static_cast<unsigned int>(static_cast<unsigned long long>(us / 1000));
}

void CGameBase::SetFpsControl(int fps, bool /*unused*/, bool fixedStep) {
    // A rate below 1 would divide by zero or give a period of "forever".
    if (fps < 1) fps = 1;
    m_nFrameRate = fps;
    if (fps >= 30 && fps <= 34) {
        m_uFramePeriodMs = 30;
    } else if (fps >= 60 && fps <= 64) {
        m_uFramePeriodMs = 15;
    } else {
        m_uFramePeriodMs = static_cast<unsigned int>(1000 / fps);
    }
    m_bFixedStep = fixedStep;
    m_uLastTickMs = GetTickCountMs();
}

bool CGameBase::RunGameCycle() {
    if (!m_bFixedStep) {
        RunProcess();
        DoDrawCycle();
        return true;
    }

    RunProcess();
    ++m_nUpdateCount;

    unsigned int now = GetTickCountMs();
    unsigned int elapsed;
    if (m_uLastTickMs > now) {
        m_uLastTickMs = now;
        elapsed = 0;
    } else {
        elapsed = now - m_uLastTickMs;
    }

    if (m_bShowStatistics) {
        if (m_uStatsStartMs == 0) m_uStatsStartMs = GetTickCountMs();
        if (m_nUpdateCount > 99) {
            const int spanMs = static_cast<int>(now - m_uStatsStartMs);
            if (spanMs > 0) {
                m_StatisticsText.Format("Run-%2.2f/Draw-%2.2f", static_cast<double>(m_nUpdateCount) / spanMs * 1000.0,
                                        static_cast<double>(m_nDrawCount) / spanMs * 1000.0);
            }
            m_nUpdateCount = 0;
            m_uStatsStartMs = now;
            m_nDrawCount = 0;
        }
    }

    bool drawOnly = false;
    if (elapsed < m_uFramePeriodMs) {
        platform::ClockUsleep((m_uFramePeriodMs - elapsed) * 1000U);
        now = GetTickCountMs();
        elapsed = now - m_uLastTickMs;
        drawOnly = elapsed < m_uFramePeriodMs;
    }

    if (!drawOnly) {
        if (elapsed == m_uFramePeriodMs) {
            m_uLastTickMs = now;
            m_nCatchUpCount = 0;
        } else {
            const unsigned int n = (elapsed - m_uFramePeriodMs) / m_uFramePeriodMs;
            m_uLastTickMs = now + m_uFramePeriodMs - elapsed;
            m_nCatchUpCount = static_cast<int>(n);
            if (n > 6) {
                // Periods beyond six are dropped: after a long stall the game does not race.
                m_nCatchUpCount = 6;
                m_uLastTickMs += m_uFramePeriodMs * (n - 6);
            }
            while (m_nCatchUpCount > 0) {
                --m_nCatchUpCount;
                m_uLastTickMs += m_uFramePeriodMs;
                RunProcess();
                ++m_nUpdateCount;
            }
        }
    }

    ++m_nDrawCount;
    DoDrawCycle();
    return true;
}

void CGameBase::DoDrawCycle() {
    if (m_RenderSwitches.m_nRendererKind == kRendererGLES && m_Screen.m_pBackBuffer != nullptr)
        m_Screen.m_pBackBuffer->HWBeginScene();
    Draw();
    DrawQuitButton();
    if (m_bFixedStep && m_bShowStatistics) {
        if (CBitmapFontText* font = GetDebugFont()) DrawStatistics(font);
    }
    DrawAutoRotateBorders();
    if (m_Screen.m_pBackBuffer != nullptr) m_Screen.m_pBackBuffer->DrawToDeviceScreen();
    DrawBordersToDeviceScreen();
}

void CGameBase::RunProcess() {
    ProcessIPhoneRotation();
    if (m_bKeyRepeat) ProcessPressedKeys();
    if (CXElement* focused = GetActiveObjectPtr()) focused->RunProcess();
}
