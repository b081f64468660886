# Run at install time: puts the menu entry in place with the game's own path in Exec, so that the
# menu starts the game whatever the prefix (/usr/games is on a player's PATH, ~/.local/games not).
# Set by the install step: TROTIX_DESKTOP_SOURCE, TROTIX_GAME_PATH (under the prefix),
# TROTIX_APPLICATIONS_DIR (under the prefix).
file(READ "${TROTIX_DESKTOP_SOURCE}" entry)
string(REPLACE "\nExec=trotix\n" "\nExec=${CMAKE_INSTALL_PREFIX}/${TROTIX_GAME_PATH}\n" entry "${entry}")
get_filename_component(name "${TROTIX_DESKTOP_SOURCE}" NAME)
set(target "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${TROTIX_APPLICATIONS_DIR}/${name}")
message(STATUS "Installing: ${target}")
file(WRITE "${target}" "${entry}")
