# What an installation holds, and the Debian packages CPack makes of it
# (scripts/package, docs/packaging.md): `scenova` with the browser files
# publish copies and the sample lesson, and `scenova-player` with its menu
# entry, icon and the type of a packed lesson, which it opens.
set(SCENOVA_SITE_FILES "" CACHE PATH
    "The browser build's page and module installed for publish (build/wasm/web); empty: none")
set(SCENOVA_PACKAGE_MAINTAINER "Scenova developers <scenova@example.org>"
    CACHE STRING "The packages' maintainer, as Debian writes one")

install(TARGETS scenova RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT scenova)
if(SCENOVA_SITE_FILES)
  # The files publish copies (authoring/Publish.cpp), found beside the command.
  set(site)
  foreach(name index.html boot.js view.js page.css scenova-web.js scenova-web.wasm)
    list(APPEND site ${SCENOVA_SITE_FILES}/${name})
  endforeach()
  install(FILES ${site} DESTINATION ${CMAKE_INSTALL_DATADIR}/scenova/site COMPONENT scenova)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/market
        DESTINATION ${CMAKE_INSTALL_DATADIR}/scenova/examples COMPONENT scenova)
# What an author writes in a lesson; check names it after its findings.
install(FILES ${PROJECT_SOURCE_DIR}/docs/lesson-format.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/scenova COMPONENT scenova)
set(SCENOVA_COMPONENTS scenova)

if(SCENOVA_WITH_QT)
  install(TARGETS scenova-player RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT player)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/scenova-player.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT player)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/scenova-player.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT player)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/scenova-lesson.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages COMPONENT player)
  list(APPEND SCENOVA_COMPONENTS player)
endif()

# The manual pages, made from each program's --help (Debian: help2man).
option(SCENOVA_MAN "Make the programs' manual pages with help2man" OFF)
function(scenova_manual_page target component summary)
  if(NOT SCENOVA_MAN OR NOT TARGET ${target})
    return()
  endif()
  find_program(HELP2MAN help2man REQUIRED)
  set(page ${PROJECT_BINARY_DIR}/packaging/${target}.1)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen ${HELP2MAN} -N
            --no-discard-stderr --version-string=${PROJECT_VERSION} -n ${summary} -o ${page}
            $<TARGET_FILE:${target}>
    COMMAND gzip -9 -n -f ${page}
    DEPENDS ${target}
    VERBATIM)
  add_custom_target(${target}-manual ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${component})
endfunction()
scenova_manual_page(scenova scenova "play, check and publish interactive video lessons")
scenova_manual_page(scenova-player player "desktop player for interactive video lessons")

# Each package's copyright and changelog (compressed as Debian's tools do:
# no name or time in the header, so the same sources give the same bytes).
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog
               @ONLY)
execute_process(COMMAND gzip -9 -n -f -k ${PROJECT_BINARY_DIR}/packaging/changelog
                COMMAND_ERROR_IS_FATAL ANY)
foreach(component IN LISTS SCENOVA_COMPONENTS)
  set(package scenova)
  if(component STREQUAL "player")
    set(package scenova-player)
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright
                ${PROJECT_BINARY_DIR}/packaging/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME scenova)
set(CPACK_PACKAGE_VENDOR "Scenova developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${SCENOVA_PACKAGE_MAINTAINER})
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL ${SCENOVA_COMPONENTS})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_SCENOVA_PACKAGE_NAME scenova)
set(CPACK_DEBIAN_PLAYER_PACKAGE_NAME scenova-player)
# Qt plays media through GStreamer, whose plugins no library links: without
# them a lesson's MPEG-4 or WebM video does not play.
set(CPACK_DEBIAN_PLAYER_PACKAGE_DEPENDS
    "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-libav")
# libavformat is opened when a movie is first probed, so no program links it
# and the shared libraries' dependencies do not name it.
if(SCENOVA_LIBAV)
  string(REGEX MATCH "^[0-9]+" libavformat_major "${LIBAV_libavformat_VERSION}")
  set(CPACK_DEBIAN_SCENOVA_PACKAGE_DEPENDS "libavformat${libavformat_major}")
  string(APPEND CPACK_DEBIAN_PLAYER_PACKAGE_DEPENDS ", libavformat${libavformat_major}")
endif()
set(CPACK_COMPONENT_SCENOVA_DESCRIPTION
    "interactive video lessons: play, check and publish them
The scenova command plays a lesson (a video with its transcript, speakers and
button bars) on a headless host and prints what the learner saw, checks a
lesson for its author, turns its spoken lines into WebVTT or SubRip subtitles
and back, and publishes lessons as a static web site that any web server
answering Range requests serves. The sample lesson is included.")
set(CPACK_COMPONENT_PLAYER_DESCRIPTION
    "desktop player for interactive video lessons
scenova-player shows a lesson in a window: the video, a transcript lit in step
with it, the lesson's buttons, captions, speeds, repeating a line and pausing
after each one, all from the keyboard as well as the mouse. A file manager
opens packed lessons (.scenova) in it.")
include(CPack)
