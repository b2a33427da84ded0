#include <gtest/gtest.h>

#include <vector>

#include "engine/actor.h"

namespace {

std::vector<int>* gEvents = nullptr;

// A leaf that records its updates and draws, and dies when told.
class Probe : public TActor {
 public:
  Probe(TActor* owner, float x, float y, int32_t kind) : TActor(owner, x, y, nullptr, kind) {}
  ~Probe() override { gEvents->push_back(-1000 - Kind); }
  void Act(int32_t) override {
    gEvents->push_back(Kind);
    if (DieNow) Dead = true;
  }
  void Draw() override { gEvents->push_back(100 + Kind); }
  bool DieNow = false;
};

TEST(Actor, EulerStepUsesStartVelocity) {
  TActor a(nullptr, 0, 0, nullptr, 0);
  a.VX = 100;
  a.AY = 1000;
  a.Update(20);
  EXPECT_FLOAT_EQ(a.X, 2.0f);
  EXPECT_FLOAT_EQ(a.Y, 0.0f);
  EXPECT_FLOAT_EQ(a.VY, 20.0f);
  EXPECT_EQ(a.Elapsed, 20);
}

TEST(Actor, GroupWalksBackwardsAndDeletesDeadChildBeforeTheNext) {
  std::vector<int> events;
  gEvents = &events;
  {
    TActor group(nullptr, 0);
    auto* a = new Probe(&group, 0, 0, 1);
    auto* b = new Probe(&group, 0, 0, 2);
    auto* c = new Probe(&group, 0, 0, 3);
    group.Add(a);
    group.Add(b);
    group.Add(c);
    b->DieNow = true;
    b->VX = 50;
    group.Update(20);
    EXPECT_EQ(events, (std::vector<int>{3, 2, -1002, 1}));
    EXPECT_EQ(group.Count(), 2);
    events.clear();
    group.Paint();  // invisible group: children in list order
    EXPECT_EQ(events, (std::vector<int>{101, 103}));
    events.clear();
  }
  EXPECT_EQ(events, (std::vector<int>{-1001, -1003}));  // the group owns its children
  gEvents = nullptr;
}

TEST(Actor, IntersectsIsEdgeInclusiveAndGetPosTruncates) {
  TActor a(nullptr, -0.5f, 3.9f, nullptr, 0);
  EXPECT_TRUE(a.Intersects({0, 0, 10, 10}, {10, 10, 20, 20}));
  EXPECT_FALSE(a.Intersects({0, 0, 10, 10}, {11, 0, 20, 10}));
  TPoint p;
  a.GetPos(p);
  EXPECT_EQ(p.X, 0);
  EXPECT_EQ(p.Y, 3);
  a.HitRect = {1, 2, 3, 4};
  TRect r;
  a.GetRect(&r);
  EXPECT_EQ(r.Left, 1);
  EXPECT_EQ(r.Top, 5);
  EXPECT_EQ(r.Right, 3);
  EXPECT_EQ(r.Bottom, 7);
  a.GetRect(nullptr);  // nothing to write into
}

TEST(Actor, LeafHasNoChildrenAndGetIsBounded) {
  TActor leaf(nullptr, 0, 0, nullptr, 0);
  EXPECT_EQ(leaf.Spawn(1, 2, 3), nullptr);
  EXPECT_EQ(leaf.Count(), 0);
  TActor group(nullptr, 0);
  TActor* s = group.Spawn(5, 6, 7);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Owner, &group);
  EXPECT_EQ(s->Kind, 7);
  EXPECT_EQ(group.Get(-1), nullptr);
  EXPECT_EQ(group.Get(group.Count()), nullptr);
  EXPECT_EQ(group.Get(0), s);
}

}  // namespace
