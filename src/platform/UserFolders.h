#pragma once
// The user's base folders by the XDG rules: a variable that holds an
// absolute path names the folder; an empty or relative one counts as unset
// (it would move with the working folder), and the default below the home
// folder stands. Qt's QStandardPaths takes a relative value as it is, so the
// program asks here instead.

#include <QString>

namespace tw::platform {

// $XDG_CONFIG_HOME, else ~/.config.
QString userConfigHome();
// $XDG_DATA_HOME, else ~/.local/share.
QString userDataHome();
// $XDG_STATE_HOME, else ~/.local/state.
QString userStateHome();
// $XDG_CACHE_HOME, else ~/.cache.
QString userCacheHome();

} // namespace tw::platform
