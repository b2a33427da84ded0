#include "game/gamemgr.h"
#include "screens/standin.h"

TGameMgrMode* CreateScreen(TScreenId id, TGameMgrMode* parent) {
  switch (id) {
    case TScreenId::Logo: return new TStandInMode(parent, "TLogoMode");
    case TScreenId::Title: return new TStandInMode(parent, "TTitleMode");
    case TScreenId::Ranking: return new TStandInMode(parent, "TRankingMode");
    case TScreenId::Config: return new TStandInMode(parent, "TConfigMode");
    case TScreenId::Select: return new TStandInMode(parent, "TSelectMode");
    case TScreenId::LvSelect: return new TStandInMode(parent, "TLvSelectMode");
    case TScreenId::GameMain: return new TStandInMode(parent, "TGameMainMode");
    case TScreenId::RegRank: return new TStandInMode(parent, "TRegRankMode");
    case TScreenId::ContSelect: return new TStandInMode(parent, "TContSelectMode");
    case TScreenId::Reward: return new TStandInMode(parent, "TRewardMode");
    case TScreenId::PuzSave: return new TStandInMode(parent, "TPuzSaveMode");
    case TScreenId::Ending: return new TStandInMode(parent, "TEndingMode");
  }
  return new TStandInMode(parent, "TGameMgrMode");
}
