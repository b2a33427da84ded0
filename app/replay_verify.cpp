#include "app/replay_verify.h"

#include <chrono>
#include <cstdio>

#include "engine/kernel.h"
#include "engine/random.h"
#include "game/gamedata.h"
#include "game/gamemgr.h"
#include "game/replay_session.h"
#include "media/kordraw.h"
#include "media/korinput.h"
#include "media/kormidi.h"
#include "media/korsound.h"
#include "screens/screen_factory.h"

bool VerifyReplay(const TReplay& replay, TReplayProof& proof, std::string& error) {
  if (!TReplaySession::CanPlay(replay, error)) return false;
  TKorDraw draw;
  TKorSound sound;
  TKorInput input;
  TKorMidi midi;
  TKernel kernel(&draw, &sound, &input, &midi);
  GameData data;
  SetDefaultRanking(data);
  TReplaySession session;
  session.Watch(replay);
  session.SetUpGame(data);
  data.Replays = &session;

  TGameMgrMode::RegisterScreens(CreateScreen);
  TGameMgrMode root(nullptr, &kernel, &data);
  root.CreateScreenChild(TScreenId::GameMain);
  const auto start = std::chrono::steady_clock::now();
  const int32_t dt = replay.TickMs;
  // Every recorded tick, unless the game screen closes first.
  proof.TicksRun = 0;
  while (root.Child && !session.WatchEnded()) {
    kernel.Tick(dt);
    root.Update(dt);
    proof.TicksRun += 1;
  }
  proof.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  proof.Reached = session.LastGame();
  const TReplay& r = proof.Reached;
  proof.Matches = r.End != TReplayEnd::Unfinished && r.End == replay.End &&
                  r.Score == replay.Score && r.Level == replay.Level && r.Blocks == replay.Blocks &&
                  r.Ticks == replay.Ticks && r.ChainRecord == replay.ChainRecord;
  return true;
}

std::string DescribeProof(const TReplay& replay, const TReplayProof& proof) {
  const TReplay& r = proof.Reached;
  char text[512];
  std::snprintf(text, sizeof text,
                "reached: score %d, level %d, blocks %d, ticks %d, chain record %d, end "
                "%s\n"
                "claimed: score %d, level %d, blocks %d, ticks %d, chain record %d, end "
                "%s\n"
                "%s (%lld ticks in %.3f s, %.0f ticks/s)\n",
                r.Score, r.Level + 1, r.Blocks, r.Ticks, r.ChainRecord, ReplayEndName(r.End),
                replay.Score, replay.Level + 1, replay.Blocks, replay.Ticks, replay.ChainRecord,
                ReplayEndName(replay.End), proof.Matches ? "proved" : "NOT PROVED",
                static_cast<long long>(proof.TicksRun), proof.Seconds,
                proof.Seconds > 0 ? static_cast<double>(proof.TicksRun) / proof.Seconds : 0.0);
  return text;
}
