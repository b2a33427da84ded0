#include "game/gamemgr.h"
#include "screens/config.h"
#include "screens/ending.h"
#include "screens/standin.h"

TGameMgrMode* CreateScreen(TScreenId id, TGameMgrMode* parent) {
  switch (id) {
    case TScreenId::Logo: return new TStandInMode(parent, "TLogoMode");
    case TScreenId::Title: return new TStandInMode(parent, "TTitleMode");
    case TScreenId::Ranking: return new TStandInMode(parent, "TRankingMode");
    case TScreenId::Config: return new TConfigMode(parent, parent->Kernel, parent->Data);
    case TScreenId::Select: return new TStandInMode(parent, "TSelectMode");
    case TScreenId::LvSelect: return new TStandInMode(parent, "TLvSelectMode");
    case TScreenId::GameMain: return new TStandInMode(parent, "TGameMainMode");
    case TScreenId::RegRank: return new TStandInMode(parent, "TRegRankMode");
    case TScreenId::ContSelect: return new TStandInMode(parent, "TContSelectMode");
    case TScreenId::Reward: return new TStandInMode(parent, "TRewardMode");
    case TScreenId::PuzSave: return new TStandInMode(parent, "TPuzSaveMode");
    case TScreenId::Ending: return new TEndingMode(parent, parent->Kernel, parent->Data);
  }
  return new TStandInMode(parent, "TGameMgrMode");
}
