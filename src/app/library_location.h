// Where the modem library and the help page live. kelvo.xml beside the executable is the portable
// layout (a folder such as run/) and always wins; an installed Kelvo uses the user's own copy in
// $XDG_DATA_HOME/kelvo/, made from the shipped copy in the shared data folder at the first start.
#pragma once

#include <string>
#include <vector>

namespace kelvo {

// The folders that the rule looks at; tests fill them by hand.
struct TLibraryPlaces {
  std::string ProgramDir;               // the executable's folder: the portable layout
  std::string UserDataDir;              // $XDG_DATA_HOME or ~/.local/share; empty when unknown
  std::vector<std::string> SharedDirs;  // folders holding the shipped kelvo.xml, most specific first
};

// The library in use, and whether this start made it from the shipped copy.
struct TLibraryLocation {
  std::string Path;
  bool Created = false;
};

// The places for a program in programDir, from the environment (XDG_DATA_HOME, HOME) and the
// install layout the program was built for.
TLibraryPlaces LibraryPlacesFor(const std::string& programDir);

// The user's data folder after the XDG rule: $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share (HOME from the password database when unset); empty when neither is known.
std::string UserDataHome();

// The shipped data folders of a program in programDir: the one that the install layout puts
// beside its bin folder (so a tree installed elsewhere, or under DESTDIR, finds its own files), then
// the one of the install prefix the build was configured for.
std::vector<std::string> SharedDataDirs(const std::string& programDir);

// Applies the rule: programDir/kelvo.xml when it is there; else UserDataDir/kelvo/kelvo.xml, copied
// first from the first shared folder that holds one when the user has none (folders made as
// needed, the copy written whole or not at all). Raises the start-up message "Файл с настройками
// модемов 'kelvo.xml' поврежден или отсутствует" followed by the paths tried, or by why the copy
// could not be made. A user's library that exists is never replaced, even when damaged.
TLibraryLocation LocateLibrary(const TLibraryPlaces& places);

// The help page: kelvo.html beside the executable when it is there, else in the first shared folder
// that holds one, else the path beside the executable (the help window then opens empty).
std::string LocateHelpFile(const TLibraryPlaces& places);

}  // namespace kelvo
