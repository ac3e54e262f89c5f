// The record of a game in progress in "saveresume.dat": one per profile and arena and one per
// profile and yard, each a header written by the game object followed by the body the gameplay
// or yard screen writes. The header: the kind (int32: 1 arena round, 2 yard; 0 means no resume),
// then through the serializer the version (1) and the arena or yard name.
//
// Record ids: arena 100 x profile slot + arena index; yard 10000 + 100 x slot + yard index.
// Record names: "arena_" or "yard_" followed by the name.
//
// Depends on: core (files, serializer, memory files). Threads: main thread only.
#pragma once

#include <cstdint>
#include <span>

#include "core/CommonString.h"

class IFile;

enum : int { kResumeKindNone = 0, kResumeKindArena = 1, kResumeKindYard = 2 };
inline constexpr int kResumeVersion = 1;
// The most a record may hold, header and body.
inline constexpr int kResumeRecordCapacity = 100000;

struct TResumeHeader {
    int kind = kResumeKindNone;
    int version = 0;
    CommonString name;
};

// The id of a profile slot's record of the arena or yard at that index; -1 when the index is
// below 0 (an unknown arena or yard has no record).
[[nodiscard]] int ArenaResumeRecordId(int slot, int arenaIndex);
[[nodiscard]] int YardResumeRecordId(int slot, int yardIndex);
// "arena_" + name, "yard_" + name.
CommonString ArenaResumeRecordName(const CommonString& arena);
CommonString YardResumeRecordName(const CommonString& yard);

// Writes the header with the current version; false when a field did not go whole.
[[nodiscard]] bool WriteResumeHeader(IFile* file, int kind, const CommonString& name);
// Reads the kind at the file's position: true when 4 bytes were read and the kind is not 0.
[[nodiscard]] bool IsResumeAvailable(IFile* record);
// Reads a whole header at the file's position into `header`, leaving the file at the body;
// false when a field is short or damaged (the header may then hold part of it).
[[nodiscard]] bool ReadResumeHeader(IFile* file, TResumeHeader& header);
// The same over a record's bytes (shared by tests and the fuzz target); `name` is for messages.
[[nodiscard]] bool DecodeResumeHeader(std::span<const std::uint8_t> bytes, const char* name, TResumeHeader& header);
