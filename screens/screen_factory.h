#pragma once
// The game's screens: the factory the application registers with the game manager.
#include "game/gamemgr.h"

// Makes the screen of the given id as a child of parent (with parent's kernel and data);
// null for an id outside the list.
TGameMgrMode* CreateScreen(TScreenId id, TGameMgrMode* parent);
