// Where "conf.fdb" lives: beside the executable, or, when that folder cannot be written or the
// program is installed (its desktop entry in ../share/applications), in the user's
// configuration folder: $XDG_CONFIG_HOME/tunewagon, else ~/.config/tunewagon.
#pragma once

#include <string>

namespace app {

inline constexpr const char* SettingsFileName = "conf.fdb";

// The host folder for the settings file, from the executable's host folder and whether the
// settings may stay there; `configHome` is $XDG_CONFIG_HOME ("" or a relative path counts as unset).
std::string settingsHostFolder(const std::string& exeFolder, bool besideProgram,
                               const std::string& configHome, const std::string& homeFolder);

// The program path of the settings file for this process. The configuration folder is made
// when it is the one chosen.
std::string settingsFilePath();

} // namespace app
