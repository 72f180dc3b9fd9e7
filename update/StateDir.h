#pragma once
// The user's state folder, where Varnok keeps what it records between runs
// (the update record). One backend per platform:
//   POSIX (StateDir_posix.cpp): $XDG_STATE_HOME/varnok when that variable
//     holds an absolute path, else $HOME/.local/state/varnok (the home
//     folder from the password database when HOME is unset).
//   Windows (StateDir_win.cpp): <local application data>\Varnok.
// The folder is only named here, not created.

#include <string>

namespace varnok {

// UTF-8 path without a trailing separator; empty when no folder can be named.
std::string UserStateDir();

// The separator that joins a file name to UserStateDir().
char StateDirSeparator();

}  // namespace varnok
