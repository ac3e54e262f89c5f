#include "game/progress/Bouncer.h"

#include <cmath>

void Bouncer::Start(float minimumValue, float maximumValue, float stepSize, float start) {
    minimum = minimumValue;
    maximum = maximumValue;
    step = stepSize;
    velocity = stepSize;
    value = start;
    active = true;
}

void Bouncer::RunProcess() {
    if (!active) return;
    value += velocity;
    if (value > maximum && velocity > 0.0f) {
        value = maximum;
        velocity = -std::fabs(step);
        if (listener != nullptr) listener->OnBouncerTurn(this, true);
    } else if (value < minimum && velocity < 0.0f) {
        value = minimum;
        velocity = std::fabs(step);
        if (listener != nullptr) listener->OnBouncerTurn(this, false);
    }
}

void Bouncer::SetDelta(float d) {
    step = d;
    velocity = velocity > 0.0f ? std::fabs(d) : -std::fabs(d);
}

float Bouncer::GetCurValueSineWaved() const {
    const float range = maximum - minimum;
    if (range < 0.001f) return value;
    constexpr float kPi = 3.14159265358979f;
    return minimum + range * (std::sin(kPi * (value - minimum) / range - kPi / 2.0f) + 1.0f) / 2.0f;
}
