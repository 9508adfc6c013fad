# What `cmake --install` puts on a machine and how CPack packs it for Debian. The program only:
# the tests, benchmarks, local image service and sample generator have no install rules.
include(GNUInstallDirs)

set(VIMBREL_APP_ID org.vimbrel.Vimbrel)
set(VIMBREL_RELEASE_DATE 2026-12-07)
set(VIMBREL_MAINTAINER "Vimbrel developers <author@vimbrel.org>")

# Directories made by the install step are 0755 whatever the umask of whoever packs.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS vimbrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(data ${PROJECT_SOURCE_DIR}/data)
  set(out ${PROJECT_BINARY_DIR}/data)

  # The menu entry; its id is not ulvo.desktop, the hidden entry the program writes into the
  # user's own applications folder at start, which would otherwise hide this one.
  install(FILES ${data}/${VIMBREL_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(${data}/${VIMBREL_APP_ID}.metainfo.xml.in ${out}/${VIMBREL_APP_ID}.metainfo.xml
                 @ONLY)
  install(FILES ${out}/${VIMBREL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # The icon: drawn once as SVG, the fixed sizes rendered from it at build time so they never
  # drift from the drawing.
  set(icon ${data}/icons/${VIMBREL_APP_ID}.svg)
  set(icons_dir ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  install(FILES ${icon} DESTINATION ${icons_dir}/scalable/apps)
  find_program(VIMBREL_RSVG_CONVERT rsvg-convert REQUIRED)
  set(rendered)
  foreach(size 16 24 32 48 64 128 256)
    set(png ${out}/icons/${size}/${VIMBREL_APP_ID}.png)
    add_custom_command(
      OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out}/icons/${size}
      COMMAND ${VIMBREL_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon}
      DEPENDS ${icon}
      VERBATIM)
    list(APPEND rendered ${png})
    install(FILES ${png} DESTINATION ${icons_dir}/${size}x${size}/apps)
  endforeach()

  # The manual page and the Debian changelog, compressed without a time stamp so that two builds
  # give the same bytes.
  execute_process(COMMAND date -u -R -d "${VIMBREL_RELEASE_DATE} 12:00"
                  OUTPUT_VARIABLE VIMBREL_RELEASE_STAMP OUTPUT_STRIP_TRAILING_WHITESPACE)
  configure_file(${data}/vimbrel.1.in ${out}/vimbrel.1 @ONLY)
  configure_file(${data}/changelog.in ${out}/changelog @ONLY)
  foreach(file vimbrel.1 changelog)
    add_custom_command(
      OUTPUT ${out}/${file}.gz
      COMMAND gzip -9nkf ${out}/${file}
      DEPENDS ${out}/${file}
      VERBATIM)
    list(APPEND rendered ${out}/${file}.gz)
  endforeach()
  install(FILES ${out}/vimbrel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${data}/copyright ${out}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
  add_custom_target(vimbrel_data ALL DEPENDS ${rendered})
endif()

# scripts/package: cpack in the build folder writes vimbrel_<version>_<arch>.deb there.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vimbrel)
set(CPACK_PACKAGE_VENDOR "Vimbrel developers")
set(CPACK_PACKAGE_CONTACT "${VIMBREL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "picture viewer that shows a whole folder at once")
set(CPACK_PACKAGE_DESCRIPTION
    "Vimbrel shows all the pictures of a folder as pages of linked pictures
in an embedded browser view, with paging, one to four pictures a row,
zoom, background colours and a search through a whole folder tree. It
also finds pictures on the web, takes them out of a page and saves them
into a folder as numbered JPEG files. The interface is in Traditional
Chinese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.vimbrel.org/ulvo/tw/")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The libraries it links come from dpkg-shlibdeps; these are loaded at run time without being
# linked: the TIFF and WebP codecs and Qt's Traditional Chinese texts. (The browser engine's
# process, libqt6webenginecore6-bin, comes with the engine library's own dependencies.)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-image-formats-plugins, qt6-translations-l10n")
# A CJK font for the interface; xdg-open for opening pictures in the desktop's programs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, xdg-utils")
include(CPack)
