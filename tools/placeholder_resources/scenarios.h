// Placeholder scenarios: the scenario XML files with their Shift-JIS scripts
// (CR LF lines), written so that each one runs every command the scenario
// player knows, and the staff-roll script.
#pragma once

#include <string>
#include <vector>

namespace placeholder {

// The script a scenario file names: the same path with ".txt".
std::string ScriptNameOf(const std::string& scenarioName);

// The bytes of a scenario file and of its script.
std::string ScenarioXml(const std::string& scenarioName);
std::string ScenarioScript(const std::string& scenarioName);
// The bytes of the staff-roll script.
std::string StaffRollScript();

// The files the scenarios and the staff roll use (pictures and sounds),
// which the tree must hold too.
std::vector<std::string> ScenarioResources();

}  // namespace placeholder
