#pragma once
// Limits of the particle area, in one place.

// Largest particle buffer an effect file may ask for with MaxParticles; larger values are
// clamped to it, negative ones to 0. It bounds the memory one system can take (about 1 MB).
inline constexpr int kParticleMaxParticlesLimit = 10000;
// Particle buffer capacity of a new system.
inline constexpr int kParticleDefaultMaxParticles = 500;
// Growth step of the shared sprite storage's own sprite-set list.
inline constexpr int kParticleSpriteStorageGrowBy = 15;
// Growth step of an emission shape's segment lists.
inline constexpr int kParticleShapeGrowBy = 5;
