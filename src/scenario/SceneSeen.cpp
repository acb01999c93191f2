#include "scenario/SceneSeen.h"

std::set<int> gSceneSeen;
