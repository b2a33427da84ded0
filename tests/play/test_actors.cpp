// The effect actors of the game screen and the face.
#include <cmath>

#include "tests/play/play_fixture.h"

#include "play/blkactor.h"
#include "play/flashactor.h"
#include "play/overactor.h"
#include "play/scoreactor.h"
#include "play/staractor.h"

namespace {

class ActorTest : public PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    Start();
  }
};

TEST_F(ActorTest, AFlashShowsCellsOneToSevenThenDies) {
  TFlashActor group(game.get(), 0);
  group.Spawn(160, 320, 0);
  std::vector<int> shown;
  for (int i = 0; i < 10 && group.Count() > 0; ++i) {
    group.Update(20);  // updated in the tick it was spawned in, before any drawing
    if (group.Count() > 0) shown.push_back(static_cast<TFlashActor*>(group.Get(0))->Frame);
  }
  EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6, 7}), shown);
  EXPECT_FALSE(group.Dead);
}

TEST_F(ActorTest, AFlashRisesWithTheFieldDuringAPushUp) {
  TFlashActor group(game.get(), 0, &game->Field.Scroll);
  auto* flash = static_cast<TFlashActor*>(group.Spawn(160, 320, 0));
  EXPECT_EQ(320, flash->DrawY());
  game->Field.Scroll = 12.7f;
  EXPECT_EQ(308, flash->DrawY());
}

TEST_F(ActorTest, StarBurstsFlyOutEvenlyAndSlowDown) {
  const struct {
    int Kind, Count;
    float Speed;
  } bursts[] = {{0, 5, 60}, {1, 12, 200}, {2, 8, 100}};
  for (const auto& b : bursts) {
    TStarActor group(game.get(), 0);
    TActor* last = group.Spawn(100, 50, b.Kind);
    ASSERT_EQ(b.Count, group.Count());
    EXPECT_EQ(group.Get(b.Count - 1), last);
    for (int i = 0; i < b.Count; ++i) {
      TActor* s = group.Get(i);
      const double a = 2 * M_PI * i / b.Count;
      EXPECT_EQ(i, s->Kind);
      EXPECT_FLOAT_EQ(100, s->X);
      EXPECT_NEAR(b.Speed * std::cos(a), s->VX, 1e-3);
      EXPECT_NEAR(b.Speed * std::sin(a), s->VY, 1e-3);
      EXPECT_NEAR(-b.Speed * std::cos(a), s->AX, 1e-3);
      EXPECT_NEAR(-b.Speed * std::sin(a), s->AY, 1e-3);
    }
  }
  // Twelve stars 30 degrees apart: the fourth flies straight down (clockwise on screen).
  TStarActor group(game.get(), 0);
  group.Spawn(0, 0, 1);
  EXPECT_NEAR(0, group.Get(3)->VX, 1e-3);
  EXPECT_NEAR(200, group.Get(3)->VY, 1e-3);
}

TEST_F(ActorTest, AStarIsDrawn26TimesAndEndsAbout78PixelsOut) {
  TStarActor group(game.get(), 0);
  group.Spawn(0, 0, 1);
  TActor* star = group.Get(0);
  int drawn = 0;
  float lastX = 0;
  std::vector<int> frames;
  while (group.Count() == 12 && drawn < 100) {
    group.Update(20);
    if (group.Count() == 12) {
      ++drawn;
      lastX = star->X;
      frames.push_back(static_cast<TStarActor*>(star)->Frame);
    }
  }
  EXPECT_EQ(26, drawn);
  EXPECT_NEAR(78, lastX, 1.5);
  // The animation steps every 40 ms, the first tick included, and wraps after four cells.
  EXPECT_EQ((std::vector<int>{1, 1, 2, 2, 3, 3, 0, 0, 1}),
            std::vector<int>(frames.begin(), frames.begin() + 9));
}

TEST_F(ActorTest, AScoreIsCentredOnItsCellForUpToFiveDigits) {
  TScoreActor group(game.get(), 0);
  auto* s300 = static_cast<TScoreActor*>(group.Spawn(160, 320, 300));
  EXPECT_FLOAT_EQ(176, s300->X);
  EXPECT_FLOAT_EQ(336, s300->Y);
  EXPECT_EQ(300, s300->Value);
  EXPECT_FLOAT_EQ(-40, s300->VY);
  EXPECT_EQ(176 - 21, s300->DrawX());
  auto* s5000 = static_cast<TScoreActor*>(group.Spawn(160, 320, 5000));
  EXPECT_EQ(176 - 28, s5000->DrawX());
  auto* s12000 = static_cast<TScoreActor*>(group.Spawn(160, 320, 12000));
  EXPECT_EQ(176 - 35, s12000->DrawX());
  int updates = 0;
  while (group.Count() > 0 && updates < 100) {
    group.Update(20);
    ++updates;
  }
  EXPECT_EQ(52, updates);  // alive while its Elapsed is 1000 or less
}

TEST_F(ActorTest, TheGameOverPictureBouncesAt33TicksAndComesToRest) {
  TOverActor over(nullptr, 92, -90, game.get(), 0);
  for (int i = 0; i < 32; ++i) over.Update(20);
  EXPECT_NEAR(148.08, over.Y, 1e-3);
  EXPECT_NEAR(768, over.VY, 1e-3);
  over.Update(20);  // the bounce: VY 768 becomes -460.8 before this tick's move
  EXPECT_NEAR(148.08 - 460.8 * 0.02, over.Y, 1e-3);
  EXPECT_NEAR(-460.8 + 1200 * 0.02, over.VY, 1e-3);
  int bounces = 1;
  float lastVY = over.VY;
  int restedAt = -1;
  for (int i = 0; i < 2000; ++i) {
    over.Update(20);
    if (lastVY > 0 && over.VY < 0) ++bounces;
    if (restedAt < 0 && over.AY == 0) restedAt = i;
    lastVY = over.VY;
  }
  // The bounce test runs every tick while the picture is below the line: a weak bounce
  // that has not carried it back above 140 by the next tick turns it round once more and
  // it rests there, a little below the line.
  EXPECT_EQ(3, bounces);
  EXPECT_GT(restedAt, 0);
  EXPECT_EQ(0, over.VY);
  EXPECT_GT(over.Y, 140);
  EXPECT_LT(over.Y, 146);
  EXPECT_FLOAT_EQ(92, over.X);
}

TEST_F(ActorTest, CrumbledBlocksAreThrownUpAndPushedAwayFromTheCentre) {
  TBlkActor group(game.get(), 0);
  double left = 0, right = 0;
  const int n = 4000;
  for (int i = 0; i < n; ++i) {
    TActor* l = group.Spawn(160, 100, 3);
    TActor* r = group.Spawn(320, 100, 3);
    EXPECT_FLOAT_EQ(-400, l->VY);
    EXPECT_FLOAT_EQ(1200, l->AY);
    EXPECT_FLOAT_EQ(0, l->VX);
    ASSERT_GE(l->AX, -400 - 19.2f - 0.01f);
    ASSERT_LE(l->AX, 380 - 19.2f + 0.01f);
    left += l->AX;
    right += r->AX;
  }
  // Random part -10 on average, plus (x - 256) x 0.2.
  EXPECT_NEAR(-10 - 19.2, left / n, 12);
  EXPECT_NEAR(-10 + 12.8, right / n, 12);
  EXPECT_LT(left / n, right / n);
}

TEST_F(ActorTest, ACrumbledBlockDiesBelowTheScreen) {
  TBlkActor group(game.get(), 0);
  group.Spawn(160, 352, 0);
  int updates = 0;
  while (group.Count() > 0 && updates < 200) {
    group.Update(20);
    ++updates;
  }
  EXPECT_GT(updates, 30);
  EXPECT_LT(updates, 45);
  EXPECT_FALSE(group.Dead);  // the group itself never dies
}

TEST_F(ActorTest, TheScreenOwnsItsActorsAndDeletesThemInLeave) {
  TGameMainMode& g = *game;
  EXPECT_FLOAT_EQ(376, g.Face->X);
  EXPECT_FLOAT_EQ(20, g.Face->Y);
  EXPECT_TRUE(g.FlashActors->IsGroup);
  EXPECT_EQ(nullptr, g.OverActor);
  g.GameOver();
  EXPECT_FLOAT_EQ(92, g.OverActor->X);
  EXPECT_FLOAT_EQ(-90, g.OverActor->Y);
  g.StarActors->Spawn(0, 0, 1);
  g.Leave();
  EXPECT_EQ(nullptr, g.Face);
  EXPECT_EQ(nullptr, g.StarActors);
  EXPECT_EQ(nullptr, g.OverActor);
}

class FaceTest : public PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    Start();
  }
};

TEST_F(FaceTest, TheFirstBlinkComesAfterAMultipleOfTwoSeconds) {
  for (uint32_t seed = 1; seed < 60; ++seed) {
    vexa::SeedRandom(seed);
    TFaceActor face(nullptr, 376, 20, game.get(), 0);
    EXPECT_EQ(0, face.BlinkWait % 2000);
    EXPECT_GE(face.BlinkWait, 0);
    EXPECT_LE(face.BlinkWait, 8000);
  }
}

TEST_F(FaceTest, ABlinkTakesEightTicksThroughTheEyelidCells) {
  TFaceActor face(nullptr, 376, 20, game.get(), 0);
  face.BlinkWait = 40;
  face.Update(20);
  face.Update(20);
  EXPECT_FALSE(face.Blinking);
  face.Update(20);  // the wait goes below 0: a blink starts
  EXPECT_TRUE(face.Blinking);
  EXPECT_EQ(0, face.BlinkWait % 1600);
  EXPECT_LE(face.BlinkWait, 6400);
  const int32_t wait = face.BlinkWait;
  std::vector<int> cells;
  while (face.Blinking) {
    face.Update(20);
    cells.push_back(face.BlinkCell);
  }
  EXPECT_EQ((std::vector<int>{0, 1, 2, 2, 2, 2, 1, 0}), cells);
  EXPECT_EQ(wait, face.BlinkWait);  // the next wait counts from the end of the blink
}

TEST_F(FaceTest, AWaitOfZeroStartsTheNextBlinkAtOnce) {
  TFaceActor face(nullptr, 376, 20, game.get(), 0);
  face.Blinking = true;
  face.BlinkStep = 0;
  face.BlinkWait = 0;
  for (int i = 0; i < 8; ++i) face.Update(20);
  EXPECT_FALSE(face.Blinking);
  face.Update(20);
  EXPECT_TRUE(face.Blinking);
}

TEST_F(FaceTest, SettingAnExpressionCutsABlinkButTheTimingRunsOn) {
  TFaceActor face(nullptr, 376, 20, game.get(), 0);
  face.Blinking = true;
  face.SetExpression(3);
  EXPECT_FALSE(face.Blinking);
  face.BlinkWait = 100;
  for (int i = 0; i < 6; ++i) face.Update(20);
  EXPECT_TRUE(face.Blinking);  // blinks while worried, only not drawn
  EXPECT_EQ(3, face.GetExpression());
}

TEST_F(FaceTest, ABalloonShowsForOneSecondWithTheSurprisedFace) {
  TFaceActor face(nullptr, 376, 20, game.get(), 0);
  face.BlinkWait = 1 << 20;
  face.SetBalloon(kLevelUpText);
  EXPECT_TRUE(face.BalloonOn);
  EXPECT_EQ(1, face.GetExpression());
  face.SetExpression(2);  // as after a chain's balloon
  for (int i = 0; i < 50; ++i) face.Update(20);
  EXPECT_TRUE(face.BalloonOn);
  EXPECT_EQ(2, face.GetExpression());
  face.Update(20);
  EXPECT_FALSE(face.BalloonOn);
  EXPECT_EQ(0, face.GetExpression());
}

TEST_F(FaceTest, TheBalloonTextIsCentredByItsDoubleByteLength) {
  TFaceActor face(nullptr, 376, 20, game.get(), 0);
  face.SetBalloon(std::string("10") + kChainText);  // 2 + 6 bytes
  EXPECT_EQ(376 + 32, face.BalloonTextX());
  face.SetBalloon(kLevelUpText);  // 14 bytes
  EXPECT_EQ(376 + 8, face.BalloonTextX());
  face.SetBalloon(std::string("2") + kChainText);  // 7 bytes: (128 - 56) / 2
  EXPECT_EQ(376 + 36, face.BalloonTextX());
}

}  // namespace
