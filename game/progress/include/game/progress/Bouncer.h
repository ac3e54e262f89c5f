// A value that runs back and forth between two bounds, one step per frame, with an eased reading:
// the pulse of the boosts screen's rows, the boosts badge and the start menu's buttons.
//
// Depends on: nothing. Threads: the owner's.
#pragma once

struct Bouncer;

// Hears each turn of a bouncer: atMaximum true at the top, false at the bottom.
class IBouncerListener {
public:
    virtual ~IBouncerListener() = default;
    virtual void OnBouncerTurn(Bouncer* bouncer, bool atMaximum) = 0;
};

struct Bouncer {
    bool active = false;  // an inactive bouncer does not move
    IBouncerListener* listener = nullptr;
    float value = 0.0f;
    float velocity = 0.0f;  // signed step added each frame
    float step = 0.0f;      // the magnitude the velocity takes at a turn
    float minimum = 0.0f;
    float maximum = 0.0f;

    // Sets the bounds and the step, starts at start moving up (down for a negative step) and
    // makes the bouncer active.
    void Start(float minimumValue, float maximumValue, float stepSize, float start);
    // One frame: value += velocity; past the maximum while rising it stops there and turns down,
    // below the minimum while falling it stops there and turns up, and the listener hears it.
    void RunProcess();
    // A new step size; the bouncer keeps its direction.
    void SetDelta(float d);
    // minimum + range x (sin(pi x (value - minimum) / range - pi/2) + 1) / 2, so the linear run
    // reads as a smooth wave; the value itself when the range is below 0.001.
    float GetCurValueSineWaved() const;
};
