# Installation: the game gets a folder of its own with its data beside the
# executable, because it reads its levels, skin and help page from there.
#
#   <prefix>/lib/quorvale/        quorvale, qvl.ZHN, qvl.bmp, qvl@2x.bmp, qvl.html
#   <prefix>/bin/quorvale         symlink to the game (<prefix>/games/quorvale in the .deb)
#   <prefix>/share/applications/org.example.quorvale.desktop
#   <prefix>/share/metainfo/org.example.quorvale.metainfo.xml
#   <prefix>/share/icons/hicolor/<N>x<N>/apps/quorvale.png   N = 16 ... 256
#   <prefix>/share/man/man6/quorvale.6.gz
#   <prefix>/share/doc/quorvale/  copyright, changelog.Debian.gz (the .deb only)
#   <prefix>/share/lintian/overrides/quorvale (the .deb only)
#
# Without a prefix from the user, the game installs under ~/.local, where the
# user may write without root. The .deb is made by packaging/build-deb.sh,
# which configures with QUORVALE_DEBIAN_PACKAGE=ON and the prefix /usr.

option(QUORVALE_DEBIAN_PACKAGE
  "Lay out the install as the Debian package does (command in <prefix>/games, copyright and changelog under share/doc) and set up CPack for it"
  OFF)

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT AND DEFINED ENV{HOME} AND NOT QUORVALE_DEBIAN_PACKAGE)
  set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local" CACHE PATH "Install prefix (the game goes to <prefix>/lib/quorvale)" FORCE)
endif()

set(QUORVALE_INSTALL_DIR "lib/quorvale")
if(QUORVALE_DEBIAN_PACKAGE)
  set(QUORVALE_COMMAND_DIR "games")
else()
  set(QUORVALE_COMMAND_DIR "bin")
endif()
set(QUORVALE_APP_ID "org.example.quorvale")
set(QUORVALE_PACKAGING_DIR "${PROJECT_SOURCE_DIR}/packaging")
# Files made at install time (the menu entry, compressed pages) are staged
# here first, so that file(INSTALL) gives them fixed modes whatever the umask.
set(QUORVALE_INSTALL_STAGING "${CMAKE_BINARY_DIR}/install-staging")

# Folders are created 0755 and files 0644 (0755 for the game) whatever the
# umask of whoever installs, so a package never ships a group-writable file.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(QUORVALE_FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

install(TARGETS quorvale RUNTIME DESTINATION ${QUORVALE_INSTALL_DIR})
foreach(f IN ITEMS qvl.ZHN qvl.bmp qvl@2x.bmp qvl.html)
  install(FILES "${PROJECT_SOURCE_DIR}/data/${f}" DESTINATION ${QUORVALE_INSTALL_DIR} OPTIONAL)
endforeach()

install(FILES "${QUORVALE_PACKAGING_DIR}/${QUORVALE_APP_ID}.metainfo.xml" DESTINATION share/metainfo)

# The icon at every size of the hicolor theme that desktops ask for; the skin
# generator (tools/skingen) draws them all.
foreach(size IN ITEMS 16 22 24 32 48 64 128 256)
  set(icon "${PROJECT_SOURCE_DIR}/src/ui/images/quorvale-${size}.png")
  if(NOT EXISTS "${icon}")
    message(FATAL_ERROR "Missing icon ${icon}: draw it with tools/skingen")
  endif()
  install(FILES "${icon}" DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME quorvale.png)
endforeach()

if(QUORVALE_DEBIAN_PACKAGE)
  install(FILES "${QUORVALE_PACKAGING_DIR}/copyright" DESTINATION share/doc/quorvale)
  install(FILES "${QUORVALE_PACKAGING_DIR}/lintian-overrides" DESTINATION share/lintian/overrides RENAME quorvale)
endif()

# Everything that depends on the prefix given at install time (cmake --install
# --prefix, or CPack's) is worked out when installing, not when configuring.
install(CODE "
  set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
  set(root \"\$ENV{DESTDIR}\")
  set(staging \"${QUORVALE_INSTALL_STAGING}\")
  file(MAKE_DIRECTORY \"\${staging}\")
  set(modes PERMISSIONS ${QUORVALE_FILE_PERMISSIONS})

  # <command dir>/quorvale -> ../lib/quorvale/quorvale: the game resolves the
  # link to find its data files beside its real executable.
  file(MAKE_DIRECTORY \"\${root}\${prefix}/${QUORVALE_COMMAND_DIR}\")
  file(REMOVE \"\${root}\${prefix}/${QUORVALE_COMMAND_DIR}/quorvale\")
  file(CREATE_LINK \"../${QUORVALE_INSTALL_DIR}/quorvale\" \"\${root}\${prefix}/${QUORVALE_COMMAND_DIR}/quorvale\" SYMBOLIC)
  message(STATUS \"Installing: \${root}\${prefix}/${QUORVALE_COMMAND_DIR}/quorvale -> ../${QUORVALE_INSTALL_DIR}/quorvale\")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${root}\${prefix}/${QUORVALE_COMMAND_DIR}/quorvale\")

  # The menu entry names the game by its absolute installed path, since the
  # command folder of a home install is often not on the desktop's PATH.
  set(QUORVALE_GAME_FOLDER \"\${prefix}/${QUORVALE_INSTALL_DIR}\")
  set(QUORVALE_GAME_EXECUTABLE \"\${prefix}/${QUORVALE_INSTALL_DIR}/quorvale\")
  configure_file(\"${QUORVALE_PACKAGING_DIR}/${QUORVALE_APP_ID}.desktop.in\" \"\${staging}/${QUORVALE_APP_ID}.desktop\" @ONLY)
  file(INSTALL DESTINATION \"\${prefix}/share/applications\" TYPE FILE \${modes}
       FILES \"\${staging}/${QUORVALE_APP_ID}.desktop\")

  # Manual pages and the Debian changelog are shipped compressed, without a
  # time stamp in the gzip header so that the same sources give the same bytes.
  # A macro, not a function: file(INSTALL) records what it installs in the
  # caller's CMAKE_INSTALL_MANIFEST_FILES, which install_manifest.txt lists.
  macro(quorvale_install_gzipped source destination)
    get_filename_component(name \"\${source}\" NAME)
    execute_process(COMMAND gzip -9n -c \"\${source}\" OUTPUT_FILE \"\${staging}/\${name}.gz\" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR \"gzip failed on \${source}: \${status}\")
    endif()
    file(INSTALL DESTINATION \"\${destination}\" TYPE FILE \${modes} FILES \"\${staging}/\${name}.gz\")
  endmacro()
  quorvale_install_gzipped(\"${PROJECT_SOURCE_DIR}/doc/quorvale.6\" \"\${prefix}/share/man/man6\")
")
if(QUORVALE_DEBIAN_PACKAGE)
  install(CODE "quorvale_install_gzipped(\"${QUORVALE_PACKAGING_DIR}/changelog.Debian\" \"\${CMAKE_INSTALL_PREFIX}/share/doc/quorvale\")")
endif()

if(QUORVALE_DEBIAN_PACKAGE)
  # The .deb: the install above under /usr, stripped, with its dependencies
  # worked out by dpkg-shlibdeps. Installed through DESTDIR with the real
  # prefix, so that the menu entry names /usr/lib/quorvale/quorvale.
  set(CPACK_GENERATOR "DEB")
  set(CPACK_PACKAGE_NAME "quorvale")
  set(CPACK_PACKAGE_VENDOR "Quorvale developers")
  set(CPACK_PACKAGE_CONTACT "Quorvale developers <quorvale@example.org>")
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quorvale developers <quorvale@example.org>")
  set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
  set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quorvale.example.org/")
  set(CPACK_DEBIAN_PACKAGE_SECTION "games")
  set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sliding-block puzzle: bring the big square to the exit")
  # CPack puts the summary above this as the first line of the description.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quorvale is a sliding-block puzzle for the desktop. Ten pieces lie on a
board of four columns and five rows: one big square, one wide piece, four
tall pieces and four small ones, leaving two cells free. Drag the pieces
with the mouse along their rows and columns until the big square reaches
the exit in the middle of the bottom edge.

The game comes with 70 levels and shows the best possible step count of
each in its help page. Games can be saved under a name and loaded back;
each user's saved games are kept in that user's own data folder.")
  set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
  set(CPACK_SET_DESTDIR ON)
  set(CPACK_INSTALL_PREFIX "/usr")
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  include(CPack)
endif()
