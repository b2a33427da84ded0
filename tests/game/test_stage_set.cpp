// Stage set files: written and read back, damaged ones refused with a one-line message, the
// set's progress file, and the shipped set of the built-in stages.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "game/stage_set.h"
#include "game/stage_set_play.h"
#include "platform/resources.h"
#include "tests/support/headless_game.h"

namespace {

TStageSet Sample() {
  TStageSet set;
  set.Name = "Two Steps";
  set.Author = "tester";
  for (int s = 0; s < 2; ++s) {
    TStageSet::Stage stage;
    stage.fill(TStageSet::kEmptyCell);
    stage[54 + s] = 1;  // bottom row
    stage[57] = 0;
    stage[58] = 2;
    stage[0] = 25;  // top row
    set.Stages.push_back(stage);
  }
  return set;
}

const char* const kHead = "vexa-stages 1\nname = x\n";
// Nine of a stage's ten rows.
const char* const kRows =
    "......\n......\n......\n......\n......\n......\n......\n......\n......\n";

}  // namespace

TEST(StageSetFile, WrittenReadBackAndDamagedFilesRefused) {
  const TStageSet set = Sample();
  const std::string text = WriteStageSet(set);
  EXPECT_EQ(text.substr(0, 56), "vexa-stages 1\nname = Two Steps\nauthor = tester\n\nstage 1\n");
  EXPECT_NE(text.find("Z.....\n"), std::string::npos);
  EXPECT_NE(text.find(".B.AC.\n"), std::string::npos);
  TStageSet back;
  std::string error;
  ASSERT_TRUE(ParseStageSet(text, back, error)) << error;
  EXPECT_EQ(back.Name, set.Name);
  EXPECT_EQ(back.Author, set.Author);
  EXPECT_EQ(back.Stages, set.Stages);

  // Comments, blank lines, CRLF line ends, spaces around the keys and values, no author.
  std::string edited = "vexa-stages 1\r\n# mine\r\n  name=  Mine  \r\n\r\nstage 1\r\n";
  for (int r = 0; r < 9; ++r) edited += "......\r\n";
  edited += "ABC...\r\n# end\r\n";
  ASSERT_TRUE(ParseStageSet(edited, back, error)) << error;
  EXPECT_EQ(back.Name, "Mine");
  EXPECT_EQ(back.Author, "");
  ASSERT_EQ(back.Stages.size(), 1u);
  EXPECT_EQ(back.Stages[0][54], 0);
  EXPECT_EQ(back.Stages[0][56], 2);
  EXPECT_EQ(back.Stages[0][57], TStageSet::kEmptyCell);
  // A set being made may have no stage yet; what is written is cleaned so it reads back.
  TStageSet odd;
  odd.Name = std::string("  A\tB") + std::string(60, 'n');
  odd.Author = "\x01";
  ASSERT_TRUE(ParseStageSet(WriteStageSet(odd), back, error)) << error;
  EXPECT_EQ(back.Name, "A?B" + std::string(37, 'n'));
  EXPECT_EQ(back.Author, "?");
  EXPECT_TRUE(back.Stages.empty());

  std::string fiftyOne = kHead;
  for (int s = 1; s <= 51; ++s)
    fiftyOne += "stage " + std::to_string(s) + "\n" + kRows + "......\n";
  const struct {
    std::string Text;
    const char* Message;
  } damaged[] = {
      {"", "the file is empty"},
      {"vexa-replay 1\n", "line 1: not a stage set file"},
      {"vexa-stages 2\n", "line 1: format 2 is not one this game reads"},
      {"vexa-stages x\n", "line 1: no format number"},
      {std::string(kHead) + "stage 2\n", "line 3: stage 1 was expected here"},
      {std::string(kHead) + "stage 1\n" + kRows, "stage 1 ends after 9 of its 10 rows"},
      {std::string(kHead) + "stage 1\n" + kRows + "ABCDEFG\n",
       "line 13: a stage row has six cells"},
      {std::string(kHead) + "stage 1\n" + kRows + "abc...\n", "line 13: a cell is a letter A-Z"},
      {std::string(kHead) + "stage 1\n\n" + kRows, "line 4: a stage row has six cells"},
      {std::string(kHead) + "stage 1\n" + kRows + "......\nname = y\n",
       "line 14: the name and the author come before the stages"},
      {std::string(kHead) + "name = y\n", "line 3: a second name"},
      {std::string(kHead) + "level = 3\n", "line 3: unknown key 'level'"},
      {std::string(kHead) + "name\n", "line 3: neither a stage nor a key = value line"},
      {"vexa-stages 1\nname = " + std::string(41, 'n') + "\n", "line 2: the name is too long"},
      {"vexa-stages 1\nauthor = a\x7f\n", "line 2: a value has a character"},
      {"vexa-stages 1\n# " + std::string(300, 'c') + "\n", "line 2: the line is too long"},
      {fiftyOne, "line 553: a set holds at most 50 stages"},
      {"vexa-stages 1\n" + std::string(70000, '\n'), "the file is larger than a stage set may be"},
  };
  for (const auto& d : damaged) {
    error.clear();
    TStageSet kept = set;
    EXPECT_FALSE(ParseStageSet(d.Text, kept, error)) << d.Message;
    EXPECT_EQ(error.rfind(d.Message, 0), 0u) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_EQ(kept.Stages, set.Stages);  // a refused file changes nothing
  }

  // Files: saved through a temporary file, listed sorted, loaded back; a missing one is told.
  vexa_test::PrivateFolder folder;
  const std::string stages = StageSetFolder(folder.At("vexa.dat"));
  EXPECT_EQ(stages, folder.At("stages"));
  EXPECT_TRUE(StageSetFiles(stages).empty());
  std::filesystem::create_directories(stages);
  vexa_test::WriteBytes(folder.At("stages/b.vexa-stages"), {});
  ASSERT_TRUE(SaveStageSet(stages + "/a.vexa-stages", set));
  vexa_test::WriteBytes(folder.At("stages/c.txt"), {'x'});
  EXPECT_EQ(StageSetFiles(stages), (std::vector<std::string>{stages + "/a.vexa-stages",
                                                             stages + "/b.vexa-stages"}));
  ASSERT_TRUE(LoadStageSet(stages + "/a.vexa-stages", back, error)) << error;
  EXPECT_EQ(back.Stages, set.Stages);
  EXPECT_FALSE(LoadStageSet(stages + "/b.vexa-stages", back, error));
  EXPECT_FALSE(LoadStageSet(stages + "/none.vexa-stages", back, error));
  EXPECT_EQ(error, "cannot open " + stages + "/none.vexa-stages");
  EXPECT_FALSE(SaveStageSet(folder.At("no/such/x.vexa-stages"), set));

  // The progress file: 1-based in the text, kept within the set's stages when read.
  EXPECT_EQ(TStageSetPlay::ProgressPath("/s/a.vexa-stages"), "/s/a.vexa-progress");
  EXPECT_EQ(TStageSetPlay::ProgressPath("/s/a.txt"), "/s/a.txt.vexa-progress");
  EXPECT_EQ(TStageSetPlay::WriteProgress(1, 4), "vexa-progress 1\ncontinue = 2\nreached = 5\n");
  int32_t cont = -1, reached = -1;
  EXPECT_TRUE(TStageSetPlay::ParseProgress("vexa-progress 1\ncontinue = 2\nreached = 5\n", 3,
                                           cont, reached));
  EXPECT_EQ(cont, 1);
  EXPECT_EQ(reached, 2);
  for (const char* bad : {"", "vexa-progress 1\n", "vexa-progress 1\ncontinue = 2\n",
                          "vexa-progress 1\ncontinue = x\nreached = 1\n",
                          "vexa-progress 2\ncontinue = 1\nreached = 1\n"})
    EXPECT_FALSE(TStageSetPlay::ParseProgress(bad, 3, cont, reached)) << bad;
}

TEST(StageSetFile, ShippedSetHoldsTheBuiltInStages) {
  TStageSet set;
  std::string error;
  ASSERT_TRUE(LoadStageSet(std::string(VEXA_SOURCE_DIR) + "/data/stages/vexa.vexa-stages", set,
                           error))
      << error;
  EXPECT_EQ(set.Name, "VEXA");
  platform::ResourceView view;
  ASSERT_TRUE(platform::FindResource("BIN", "PUZZLEDATA", view));
  ASSERT_EQ(view.Size, 3000u);
  ASSERT_EQ(set.Stages.size(), 50u);
  for (size_t s = 0; s < set.Stages.size(); ++s)
    EXPECT_EQ(std::memcmp(set.Stages[s].data(), view.Data + 60 * s, 60), 0) << "stage " << s + 1;
}
