# Installation: the game gets a folder of its own with its data beside the
# executable, because it reads its levels, skin and help page from there.
#
#   <prefix>/lib/quorvale/        quorvale, qvl.ZHN, qvl.bmp, qvl@2x.bmp, qvl.html
#   <bindir>/quorvale             link to the game (bin; games in the Debian package)
#   <datarootdir>/applications/org.example.quorvale.desktop
#   <datarootdir>/metainfo/org.example.quorvale.metainfo.xml
#   <datarootdir>/icons/hicolor/<N>x<N>/apps/quorvale.png   N = 16 ... 256
#   <mandir>/man6/quorvale.6.gz
#
# Without a prefix from the user, the game installs under ~/.local, where the
# user may write without root. The Debian package (debian/rules) installs
# under /usr with the command in games/; debhelper adds the copyright and
# changelog itself.

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT AND DEFINED ENV{HOME})
  set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local" CACHE PATH "Install prefix (the game goes to <prefix>/lib/quorvale)" FORCE)
endif()
include(GNUInstallDirs)

# The game's folder is not a library folder (GNUInstallDirs' libdir, which is
# lib/<multiarch> under /usr on Debian) but the one folder of its own a
# program may keep right under lib/.
set(QUORVALE_INSTALL_GAMEDIR "lib/quorvale" CACHE STRING
  "The game's folder below the prefix: the executable with its data files")

# Folders are created 0755 and files 0644 (0755 for the game) whatever the
# umask of whoever installs, so a package never ships a group-writable file.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS quorvale RUNTIME DESTINATION ${QUORVALE_INSTALL_GAMEDIR})
foreach(f IN LISTS QUORVALE_DATA_FILES)
  install(FILES "${PROJECT_SOURCE_DIR}/data/${f}" DESTINATION ${QUORVALE_INSTALL_GAMEDIR} OPTIONAL)
endforeach()

install(FILES "${PROJECT_SOURCE_DIR}/packaging/${QUORVALE_APP_ID}.metainfo.xml"
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)

# The icon at every size of the hicolor theme that desktops ask for; the skin
# generator (tools/skingen) draws them all.
foreach(size IN LISTS QUORVALE_ICON_SIZES)
  set(icon "${PROJECT_SOURCE_DIR}/src/ui/images/quorvale-${size}.png")
  if(NOT EXISTS "${icon}")
    message(FATAL_ERROR "Missing icon ${icon}: draw it with tools/skingen")
  endif()
  install(FILES "${icon}" DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps
    RENAME quorvale.png)
endforeach()

# The command link, the menu entry and the compressed manual page depend on
# the prefix given at install time (cmake --install --prefix), so a script
# makes them then; this fills in what it needs to know of the build.
set(QUORVALE_INSTALL_STAGING "${CMAKE_BINARY_DIR}/install-staging")
configure_file("${PROJECT_SOURCE_DIR}/cmake/InstallTime.cmake.in" "${CMAKE_BINARY_DIR}/InstallTime.cmake" @ONLY)
install(SCRIPT "${CMAKE_BINARY_DIR}/InstallTime.cmake")
