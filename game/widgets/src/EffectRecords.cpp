#include "game/widgets/EffectRecords.h"

#include "core/Serializer.h"

CExplosion CExplosion::ForReading() {
    CExplosion e;
    e.clock = kFinished;
    e.red = e.green = e.blue = 255;
    return e;
}

void CExplosion::Serialize(SerializeHelper2& h) {
    h.Serialize(position);
    h.Serialize(clock);
    h.Serialize(red);
    h.Serialize(green);
    h.Serialize(blue);
    h.Serialize(angle);
}

void CRay::Serialize(SerializeHelper2& h) {
    h.Serialize(position);
    h.Serialize(step);
}

void CBomb::Serialize(SerializeHelper2& h) {
    h.Serialize(centre);
    h.Serialize(counter);
    h.Serialize(duration);
    h.Serialize(radius);
}
