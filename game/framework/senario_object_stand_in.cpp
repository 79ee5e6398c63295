// Stand-in until the scenario player is built.
#include "game/framework/resource_managers.h"

Object::CSenarioObject* CreateSenarioObject(const char*) { return nullptr; }
