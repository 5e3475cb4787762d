// Where this user's files of each kind belong: the XDG base directories ($XDG_DATA_HOME,
// $XDG_CONFIG_HOME, $XDG_STATE_HOME; an absolute value only, else their defaults under
// $HOME) and the pictures folder the desktop names in user-dirs.dirs (else ~/Pictures).
#pragma once

#include <string>

namespace kelva {

enum class UserFolderKind { Data, Config, State, Pictures };

// The folder, without "kelvanovelrun/"; empty when not even $HOME is known.
std::string UserFolder(UserFolderKind kind);

}  // namespace kelva
