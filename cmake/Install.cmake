# Installation: the game gets a folder of its own with its data beside the
# executable, because it reads its levels, skin and help page from there and
# keeps saved games in a "saved" folder next to them.
#
#   <prefix>/lib/quorvale/      quorvale, qvl.ZHN, qvl.bmp, qvl.html (and saved/ at run time)
#   <prefix>/bin/quorvale       symlink to the game
#   <share>/applications/quorvale.desktop
#   <share>/icons/hicolor/{32x32,128x128}/apps/quorvale.png
#
# <share> is <prefix>/share, except for a system install under /opt (the
# .deb), whose menu entry and icons go to /usr/share where desktops look.
# Without a prefix from the user, the game installs under ~/.local, so the
# saved folder beside it is writable.

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT AND DEFINED ENV{HOME})
  set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local" CACHE PATH "Install prefix (the game goes to <prefix>/lib/quorvale)" FORCE)
endif()

set(QUORVALE_INSTALL_DIR "lib/quorvale")

install(TARGETS quorvale RUNTIME DESTINATION ${QUORVALE_INSTALL_DIR})
foreach(f IN ITEMS qvl.ZHN qvl.bmp qvl.html)
  install(FILES "${PROJECT_SOURCE_DIR}/data/${f}" DESTINATION ${QUORVALE_INSTALL_DIR} OPTIONAL)
endforeach()

# Everything that depends on the prefix given at install time (cmake --install
# --prefix, or CPack's) is worked out when installing, not when configuring.
set(QUORVALE_DESKTOP_TEMPLATE "${CMAKE_CURRENT_LIST_DIR}/quorvale.desktop.in")
set(QUORVALE_ICON_32 "${PROJECT_SOURCE_DIR}/src/ui/images/quorvale.png")
set(QUORVALE_ICON_128 "${PROJECT_SOURCE_DIR}/src/ui/images/quorvale-128.png")
install(CODE "
  set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
  set(root \"\$ENV{DESTDIR}\")
  if(prefix MATCHES \"^/opt/\")
    set(share \"/usr/share\")
  else()
    set(share \"\${prefix}/share\")
  endif()

  # bin/quorvale -> ../lib/quorvale/quorvale
  file(MAKE_DIRECTORY \"\${root}\${prefix}/bin\")
  file(REMOVE \"\${root}\${prefix}/bin/quorvale\")
  file(CREATE_LINK \"../${QUORVALE_INSTALL_DIR}/quorvale\" \"\${root}\${prefix}/bin/quorvale\" SYMBOLIC)
  message(STATUS \"Installing: \${root}\${prefix}/bin/quorvale -> ../${QUORVALE_INSTALL_DIR}/quorvale\")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${root}\${prefix}/bin/quorvale\")

  # The menu entry names the game by its absolute installed path.
  set(QUORVALE_GAME_FOLDER \"\${prefix}/${QUORVALE_INSTALL_DIR}\")
  set(QUORVALE_GAME_EXECUTABLE \"\${prefix}/${QUORVALE_INSTALL_DIR}/quorvale\")
  configure_file(\"${QUORVALE_DESKTOP_TEMPLATE}\" \"\${root}\${share}/applications/quorvale.desktop\" @ONLY)
  message(STATUS \"Installing: \${root}\${share}/applications/quorvale.desktop\")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${root}\${share}/applications/quorvale.desktop\")

  foreach(size_and_file IN ITEMS \"32x32|${QUORVALE_ICON_32}\" \"128x128|${QUORVALE_ICON_128}\")
    string(REPLACE \"|\" \";\" pair \"\${size_and_file}\")
    list(GET pair 0 size)
    list(GET pair 1 icon)
    if(EXISTS \"\${icon}\")
      # file(INSTALL) adds DESTDIR itself.
      file(INSTALL DESTINATION \"\${share}/icons/hicolor/\${size}/apps\" TYPE FILE
           RENAME quorvale.png FILES \"\${icon}\")
    endif()
  endforeach()
")

# The .deb: the same tree under /opt/quorvale, the menu entry and icons under
# /usr/share, and a saved folder every user may write to (with the sticky
# bit, so nobody removes another's games), since /opt is not writable.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "quorvale")
set(CPACK_PACKAGE_VENDOR "Quorvale developers")
set(CPACK_PACKAGE_CONTACT "Quorvale developers <quorvale@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Sliding-block puzzle: bring the big square to the exit")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/opt/quorvale")
# Installed through DESTDIR with the real prefix, so that the menu entry names
# /opt/quorvale and the files outside the prefix land in the package too.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX "/opt/quorvale")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  "${CMAKE_CURRENT_LIST_DIR}/deb/postinst;${CMAKE_CURRENT_LIST_DIR}/deb/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
