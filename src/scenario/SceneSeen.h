#pragma once
// gSceneSeen: the numbers of the scenes seen so far. The executor adds to it
// when a scenario marks a scene seen; the user system file loads and saves it;
// the scene replay reads it.
#include <set>

extern std::set<int> gSceneSeen;
