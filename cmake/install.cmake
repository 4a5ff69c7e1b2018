# Installing like a desktop application (`cmake --install`) and the Debian package
# (`cpack -G DEB`, or `make package` at the top).
# The documentation folder is named after the package, not after the CMake project.
set(CMAKE_INSTALL_DOCDIR share/doc/tavrin-label-editor)
include(GNUInstallDirs)

set(TAVRIN_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/tavrin-label-editor)
set(TAVRIN_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

# The three programs report the project's version in --version.
foreach(program tavrin-label tavrin-printer-sim tavrin-label-editor)
  if(TARGET ${program})
    target_compile_definitions(${program} PRIVATE TAVRIN_VERSION="${PROJECT_VERSION}")
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# The programs look for their data in ../share/tavrin-label-editor beside their folder.
install(FILES ${TAVRIN_DATA_DIR}/ZREDIT.FNT DESTINATION ${TAVRIN_SHARE_DIR})
install(DIRECTORY ${TAVRIN_DATA_DIR}/samples ${TAVRIN_DATA_DIR}/help DESTINATION ${TAVRIN_SHARE_DIR}
        OPTIONAL)
install(FILES ${TAVRIN_DATA_DIR}/fonts/README ${TAVRIN_DATA_DIR}/fonts/OFL.txt
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/resident-font OPTIONAL)

install(FILES ${TAVRIN_PACKAGING_DIR}/tavrin-label-editor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TAVRIN_PACKAGING_DIR}/tavrin-label-editor.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${TAVRIN_PACKAGING_DIR}/icons/tavrin-label-editor.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${TAVRIN_PACKAGING_DIR}/icons/${size}x${size}/tavrin-label-editor.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
# The manual pages carry the project's version and are installed compressed, as Debian
# wants them; gzip -n keeps the archive free of time stamps, so rebuilds are identical.
find_program(TAVRIN_GZIP gzip REQUIRED)
set(TAVRIN_GENERATED_DOCS)
# tavrin-label's OPTIONS and its bash completion are written from the program's own option
# tables once it is built.
set(TAVRIN_LABEL_COMPLETION ${CMAKE_BINARY_DIR}/tavrin-label.bash-completion)
if(TARGET tavrin-label)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/tavrin-label.1 ${TAVRIN_LABEL_COMPLETION}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:tavrin-label> -DVERSION=${PROJECT_VERSION}
            -DMAN_IN=${TAVRIN_PACKAGING_DIR}/man/tavrin-label.1.in -DMAN_OUT=${CMAKE_BINARY_DIR}/man/tavrin-label.1
            -DCOMPLETION_IN=${TAVRIN_PACKAGING_DIR}/tavrin-label.bash-completion
            -DCOMPLETION_OUT=${TAVRIN_LABEL_COMPLETION} -P ${CMAKE_SOURCE_DIR}/cmake/option_documents.cmake
    DEPENDS tavrin-label ${TAVRIN_PACKAGING_DIR}/man/tavrin-label.1.in
            ${TAVRIN_PACKAGING_DIR}/tavrin-label.bash-completion ${CMAKE_SOURCE_DIR}/cmake/option_documents.cmake
    VERBATIM)
  list(APPEND TAVRIN_GENERATED_DOCS ${TAVRIN_LABEL_COMPLETION})
  install(FILES ${TAVRIN_LABEL_COMPLETION}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME tavrin-label)
endif()
foreach(page tavrin-label tavrin-printer-sim tavrin-label-editor)
  if(NOT page STREQUAL tavrin-label)
    configure_file(${TAVRIN_PACKAGING_DIR}/man/${page}.1.in ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
  elseif(NOT TARGET tavrin-label)
    continue()
  endif()
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.1.gz
    COMMAND ${TAVRIN_GZIP} -9nf -k ${CMAKE_BINARY_DIR}/man/${page}.1
    DEPENDS ${CMAKE_BINARY_DIR}/man/${page}.1 VERBATIM)
  list(APPEND TAVRIN_GENERATED_DOCS ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
  install(FILES ${CMAKE_BINARY_DIR}/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# The package's changelog names the version it describes; it must be this project's, and
# its Debian revision (the "-1" of 1.13-1) is the package's.
file(STRINGS ${TAVRIN_PACKAGING_DIR}/changelog TAVRIN_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT TAVRIN_CHANGELOG_TOP MATCHES "^tavrin-label-editor \\(([^-]+)-([0-9]+)\\)")
  message(FATAL_ERROR "packaging/changelog: the first line must be \"tavrin-label-editor (VERSION-REVISION) ...\"")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog describes ${CMAKE_MATCH_1}, the project is ${PROJECT_VERSION}: add an entry")
endif()
set(TAVRIN_DEBIAN_REVISION ${CMAKE_MATCH_2})
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.Debian.gz
  COMMAND ${TAVRIN_GZIP} -9n -c ${TAVRIN_PACKAGING_DIR}/changelog > ${CMAKE_BINARY_DIR}/changelog.Debian.gz
  DEPENDS ${TAVRIN_PACKAGING_DIR}/changelog VERBATIM)
list(APPEND TAVRIN_GENERATED_DOCS ${CMAKE_BINARY_DIR}/changelog.Debian.gz)
add_custom_target(tavrin-docs ALL DEPENDS ${TAVRIN_GENERATED_DOCS})
install(FILES ${CMAKE_BINARY_DIR}/changelog.Debian.gz ${TAVRIN_PACKAGING_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The print service's systemd unit, disabled until the administrator enables it (no
# maintainer script turns it on), and an example of its configuration.
install(FILES ${TAVRIN_PACKAGING_DIR}/tavrin-label-serve.service DESTINATION lib/systemd/system)
install(FILES ${TAVRIN_PACKAGING_DIR}/serve.conf DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

# The Debian package. dpkg's triggers of shared-mime-info, desktop-file-utils and the icon
# caches pick up the MIME type, the desktop entry and the icon, so no maintainer scripts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrin-label-editor)
set(CPACK_PACKAGE_VENDOR "TAVRIN")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TAVRIN_DEBIAN_REVISION})
set(CPACK_PACKAGE_CONTACT "TAVRIN Label Editor developers <label-editor@tavrin.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "label designer for thermal label printers")
# Lines as Debian wants them: under 80 characters, kept as written.
set(CPACK_PACKAGE_DESCRIPTION
    "TAVRIN Label Editor lays out labels with text in the printer's own fonts and
in label fonts made from TrueType fonts, barcodes and 2D codes, boxes, lines,
pictures, variables, counters, date and time, shows them dot for dot as the
printer prints them, and sends them to the printer over a serial line, a USB
printer device, the network or a CUPS queue.

The package holds the editor (tavrin-label-editor), the command line
(tavrin-label) and a virtual printer for trying it without hardware
(tavrin-printer-sim).")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# shlibdeps finds the libraries the programs link; the Qt platform plugin and the file
# managers' helpers are loaded at run time and are listed here.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, shared-mime-info, xdg-utils")
# Without a desktop environment xdg-open learns a file's type from mimetype(1); file(1)
# knows no label files.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "desktop-file-utils, hicolor-icon-theme, libfile-mimeinfo-perl")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Folders 0755 and control files 0644 whatever the builder's umask, as dpkg and lintian expect.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
# `make package` builds first; cpack then installs what was built without rebuilding the
# test suites and benchmarks, which are not packaged.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
