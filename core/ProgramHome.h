// The program's folder: where Lib/ (settings) and Projects/ (logs) live.
//
// A program run from its build or from an unpacked folder keeps them beside
// its executable, as always. An installed program (its executable in
// PREFIX/bin without a Lib/ beside it, its defaults in PREFIX/share/tessaly)
// cannot write beside its executable, so it keeps them in the user's data
// folder, $XDG_DATA_HOME/tessaly (by default ~/.local/share/tessaly), filled
// from the installed defaults at the first start. TESSALY_HOME names another
// folder and overrides both (the tests point the programs at a temporary one).
#pragma once

#include <string>

namespace tessaly {

// What the choice of the folder depends on.
struct HomeEnvironment {
  std::string tessalyHome;       // TESSALY_HOME; empty when unset
  std::string xdgDataHome;       // XDG_DATA_HOME; empty when unset
  std::string userHome;          // HOME, else the user's folder of the password file
  std::string executableFolder;  // the folder of the running executable
};

// The environment of this process.
HomeEnvironment CurrentHomeEnvironment();

struct HomePlace {
  std::string home;      // the program's folder, ending with a path separator
  std::string defaults;  // the installed defaults to fill `home` from (ending
                         // with a separator); empty when `home` is not the user's
};

// Decides the folder. An XDG_DATA_HOME that is not an absolute path is
// ignored, as the XDG base directory rules say. An installed program for
// which no user folder can be named at all reads the installed defaults.
HomePlace ChooseProgramHome(const HomeEnvironment& environment);

// Fills a user's folder from the installed defaults: every file of the
// defaults' Lib/ that the folder's Lib/ lacks, and Projects/ whole when the
// folder has none yet (so sample logs a user deleted stay deleted). Never
// replaces or removes a file: the user's settings survive every update.
// Returns why the folder could not be filled; empty when it was, or when
// there is nothing to fill from.
std::string FillUserHome(const HomePlace& place);

// The folder of this process, filled when it is the user's. A folder that
// cannot be filled is used all the same (its missing settings files are then
// reported where they are read) and the reason goes to standard error.
std::string ProgramHome();

}  // namespace tessaly
