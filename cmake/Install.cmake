# Installation, desktop integration, the user guide and the Debian package.
#
#   make install   ->  cmake --install build      (prefix /usr/local by default)
#   make package   ->  cd build && cpack -G DEB   (prefix /usr)
#
# Also hands the desktop program the facts it shows or needs at run time:
# its version and where the user guide lives.
if(KS340_CORE_ONLY OR KS340_FUZZ OR NOT TARGET ks340)
  return()
endif()

include(GNUInstallDirs)

set(KS340_APP_ID "org.ks340.programmer")
set(KS340_LICENSE "MIT" CACHE STRING "SPDX identifier of the program's licence")
set(KS340_RELEASE_DATE "2026-12-08")
set(KS340_MAINTAINER "KS340 Programmer developers <ks340@example.org>" CACHE STRING
    "Maintainer field of the Debian package")
set(KS340_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING
    "Where the udev rule goes, relative to the install prefix")
set(KS340_ICON_SIZES 16 22 24 32 48 64 128 256)

set(_data ${PROJECT_SOURCE_DIR}/data)
set(_gen ${PROJECT_BINARY_DIR}/data)
set(KS340_GUIDE_BUILD_DIR ${PROJECT_BINARY_DIR}/docs/guide)
set(KS340_GUIDE_INSTALL_DIR ${CMAKE_INSTALL_DOCDIR}/guide)
file(MAKE_DIRECTORY ${_gen})

# --- What the program is told ----------------------------------------------
# The guide is looked for next to the program first (a relocated or packaged
# install), then under the configured prefix, then in this build tree.
file(RELATIVE_PATH _guide_from_bin ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${KS340_GUIDE_INSTALL_DIR})
foreach(_t ks340_app ks340)
  if(TARGET ${_t})
    target_compile_definitions(${_t} PRIVATE
      KS340_VERSION="${PROJECT_VERSION}"
      KS340_LICENSE="${KS340_LICENSE}"
      KS340_APP_ID="${KS340_APP_ID}"
      KS340_GUIDE_FROM_BIN="${_guide_from_bin}"
      KS340_GUIDE_INSTALL_DIR="${CMAKE_INSTALL_PREFIX}/${KS340_GUIDE_INSTALL_DIR}"
      KS340_GUIDE_BUILD_DIR="${KS340_GUIDE_BUILD_DIR}")
  endif()
endforeach()

# --- Programs -----------------------------------------------------------------
install(TARGETS ks340 ks340ctl ks340sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# --- Desktop entry, MIME type, AppStream metadata, udev rule -----------------
install(FILES ${_data}/${KS340_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_data}/${KS340_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${KS340_APP_ID}.xml)
configure_file(${_data}/${KS340_APP_ID}.metainfo.xml.in ${_gen}/${KS340_APP_ID}.metainfo.xml @ONLY)
install(FILES ${_gen}/${KS340_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_data}/60-ks340-serial.rules DESTINATION ${KS340_UDEV_RULES_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)

# --- Icons: the SVG, and PNGs rendered from it --------------------------------
install(FILES ${_data}/icons/ks340.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${KS340_APP_ID}.svg)
find_program(KS340_RSVG_CONVERT rsvg-convert)
if(KS340_RSVG_CONVERT)
  set(_pngs)
  foreach(_s ${KS340_ICON_SIZES})
    set(_png ${_gen}/icons/${_s}x${_s}/${KS340_APP_ID}.png)
    add_custom_command(OUTPUT ${_png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${_gen}/icons/${_s}x${_s}
      COMMAND ${KS340_RSVG_CONVERT} -w ${_s} -h ${_s} -o ${_png} ${_data}/icons/ks340.svg
      DEPENDS ${_data}/icons/ks340.svg
      COMMENT "Rendering the ${_s}x${_s} icon" VERBATIM)
    list(APPEND _pngs ${_png})
    install(FILES ${_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_s}x${_s}/apps)
  endforeach()
  add_custom_target(ks340_icons ALL DEPENDS ${_pngs})
else()
  message(WARNING "rsvg-convert not found (Debian package librsvg2-bin): no PNG icons")
endif()

# --- Manual pages (gzipped, as Debian keeps them) -----------------------------
find_program(KS340_GZIP gzip REQUIRED)
set(_mans)
foreach(_m ks340 ks340ctl ks340sim)
  set(_gz ${_gen}/man/${_m}.1.gz)
  add_custom_command(OUTPUT ${_gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_gen}/man
    COMMAND ${KS340_GZIP} -9nc ${_data}/man/${_m}.1 > ${_gz}
    DEPENDS ${_data}/man/${_m}.1
    COMMENT "Compressing ${_m}.1")
  list(APPEND _mans ${_gz})
  install(FILES ${_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(ks340_manpages ALL DEPENDS ${_mans})

# --- User guide: docs/*.md to HTML -------------------------------------------
find_program(KS340_CMARK cmark-gfm)
file(GLOB _guide_md CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.md)
file(GLOB _guide_images CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/screenshots/*.png)
if(KS340_CMARK AND _guide_md)
  set(_html)
  foreach(_md ${_guide_md})
    get_filename_component(_name ${_md} NAME_WE)
    list(APPEND _html ${KS340_GUIDE_BUILD_DIR}/${_name}.html)
  endforeach()
  set(_shots)
  foreach(_img ${_guide_images})
    get_filename_component(_name ${_img} NAME)
    list(APPEND _shots ${KS340_GUIDE_BUILD_DIR}/screenshots/${_name})
  endforeach()
  add_custom_command(OUTPUT ${_html} ${_shots}
    COMMAND ${CMAKE_COMMAND} -DCMARK=${KS340_CMARK} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}/docs
            -DOUTPUT_DIR=${KS340_GUIDE_BUILD_DIR} -DVERSION=${PROJECT_VERSION}
            -P ${PROJECT_SOURCE_DIR}/cmake/BuildGuide.cmake
    DEPENDS ${_guide_md} ${_guide_images} ${PROJECT_SOURCE_DIR}/cmake/BuildGuide.cmake
            ${PROJECT_SOURCE_DIR}/docs/guide.css
    COMMENT "Building the user guide")
  add_custom_target(ks340_guide ALL DEPENDS ${_html} ${_shots})
  install(DIRECTORY ${KS340_GUIDE_BUILD_DIR}/ DESTINATION ${KS340_GUIDE_INSTALL_DIR})
else()
  message(WARNING "cmark-gfm not found (Debian package cmark-gfm): the user guide is not built")
endif()

# --- Desktop caches after a plain `make install` ------------------------------
# A package leaves this to the system's triggers; a staged install (DESTDIR,
# CPack) must not leave cache files behind.
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "" AND NOT CMAKE_INSTALL_PREFIX MATCHES "/_CPack_Packages/")
    set(_share "${CMAKE_INSTALL_PREFIX}/share")
    find_program(_umd update-mime-database)
    if(_umd)
      execute_process(COMMAND ${_umd} "${_share}/mime" RESULT_VARIABLE _r OUTPUT_QUIET ERROR_QUIET)
    endif()
    find_program(_udd update-desktop-database)
    if(_udd)
      execute_process(COMMAND ${_udd} -q "${_share}/applications" RESULT_VARIABLE _r OUTPUT_QUIET ERROR_QUIET)
    endif()
    find_program(_gic gtk-update-icon-cache)
    if(_gic AND EXISTS "${_share}/icons/hicolor/index.theme")
      execute_process(COMMAND ${_gic} -q -t -f "${_share}/icons/hicolor" RESULT_VARIABLE _r OUTPUT_QUIET ERROR_QUIET)
    endif()
  endif()
]])

# --- Debian package -------------------------------------------------------------
set(CPACK_PACKAGE_NAME ks340)
set(CPACK_PACKAGE_VENDOR "KS340 Programmer developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programmer for KS-340 and KS-390 Series hand-held radios")
set(CPACK_PACKAGE_DESCRIPTION
"KS340 Programmer edits the complete configuration of a KS-340 or KS-390
Series hand-held radio (channels, options, selective calling, DTMF, modem),
keeps it in .ks3 setting files, reads and writes the radio over a USB
programming cable and prints channel and option reports.
.
The package holds the desktop program ks340, the command-line tool ks340ctl,
the simulated radio ks340sim, the user guide, and a udev rule that gives USB
serial adapters to the dialout group and keeps ModemManager away from them.")
set(CPACK_PACKAGE_CONTACT "${KS340_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs a platform plugin, which no library links to.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, shared-mime-info, desktop-file-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)

# --- Check of the package ---------------------------------------------------------
if(BUILD_TESTING OR NOT DEFINED BUILD_TESTING)
  add_test(NAME package_contents
    COMMAND ${PROJECT_SOURCE_DIR}/tests/package/check_package.sh
            ${PROJECT_BINARY_DIR} ${PROJECT_VERSION} ${KS340_APP_ID})
  set_tests_properties(package_contents PROPERTIES TIMEOUT 600 RUN_SERIAL ON)
endif()
