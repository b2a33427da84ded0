#include "screens/screen_factory.h"

#include "play/gamemain.h"
#include "screens/config.h"
#include "screens/contselect.h"
#include "screens/ending.h"
#include "screens/logo.h"
#include "screens/lvselect.h"
#include "screens/puzsave.h"
#include "screens/ranking.h"
#include "screens/regrank.h"
#include "screens/reward.h"
#include "screens/select.h"
#include "screens/title.h"
#include "screens/workshop.h"

TGameMgrMode* CreateScreen(TScreenId id, TGameMgrMode* parent) {
  switch (id) {
    case TScreenId::Logo: return new TLogoMode(parent, parent->Kernel, parent->Data);
    case TScreenId::Title: return new TTitleMode(parent, parent->Kernel, parent->Data);
    case TScreenId::Ranking: return new TRankingMode(parent, parent->Kernel, parent->Data);
    case TScreenId::Config: return new TConfigMode(parent, parent->Kernel, parent->Data);
    case TScreenId::Select: return new TSelectMode(parent, parent->Kernel, parent->Data);
    case TScreenId::LvSelect: return new TLvSelectMode(parent, parent->Kernel, parent->Data);
    case TScreenId::GameMain: return new TGameMainMode(parent, parent->Kernel, parent->Data);
    case TScreenId::RegRank: return new TRegRankMode(parent, parent->Kernel, parent->Data);
    case TScreenId::ContSelect: return new TContSelectMode(parent, parent->Kernel, parent->Data);
    case TScreenId::Reward: return new TRewardMode(parent, parent->Kernel, parent->Data);
    case TScreenId::PuzSave: return new TPuzSaveMode(parent, parent->Kernel, parent->Data);
    case TScreenId::Ending: return new TEndingMode(parent, parent->Kernel, parent->Data);
    case TScreenId::Workshop: return new TWorkshopMode(parent, parent->Kernel, parent->Data);
  }
  // An id outside the list makes no screen: the sequencer takes its next step.
  return nullptr;
}
