#pragma once
// Proving a replay: the recorded game is played again headless, as fast as the machine
// allows, through the real game screen (and the options screen its pause may open), with
// components that were never started, so nothing is drawn or heard.
#include <cstdint>
#include <string>

#include "game/replay.h"

struct TReplayProof {
  TReplay Reached;  // the result fields: score, level, blocks, ticks, chain
                    // record, end
  int64_t TicksRun = 0;
  double Seconds = 0;    // the time the run took
  bool Matches = false;  // the result equals the one the replay's header claims
};

// Plays the replay; false with a message when it cannot be played by this game (another
// game version). The proof says what the game reached and whether the header tells it.
bool VerifyReplay(const TReplay& replay, TReplayProof& proof, std::string& error);

// The proof as the lines `vexa --verify` prints.
std::string DescribeProof(const TReplay& replay, const TReplayProof& proof);
