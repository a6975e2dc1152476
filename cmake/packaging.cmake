# Install the program, its manual page and its copyright file; CPack packs
# the same as a Debian package (`make deb`).
include(GNUInstallDirs)
# The page is written from its template, its variable table from the registry.
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/glidersect.1
                   COMMAND make_manual ${PROJECT_SOURCE_DIR}/doc/glidersect.1.in ${PROJECT_BINARY_DIR}/glidersect.1
                           ${PROJECT_VERSION}
                   DEPENDS make_manual ${PROJECT_SOURCE_DIR}/doc/glidersect.1.in
                   VERBATIM)
# The page goes compressed, as Debian keeps them: gzip -9n stores no name
# or time, so the same page always gives the same bytes.
find_program(GLIDERSECT_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/glidersect.1.gz
                   COMMAND ${GLIDERSECT_GZIP} -9n -k -f ${PROJECT_BINARY_DIR}/glidersect.1
                   DEPENDS ${PROJECT_BINARY_DIR}/glidersect.1
                   VERBATIM)
add_custom_target(manual_page ALL DEPENDS ${PROJECT_BINARY_DIR}/glidersect.1.gz)
install(TARGETS glidersect RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_BINARY_DIR}/glidersect.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The font data's licence asks for its acknowledgement to go with it.
install(FILES ${PROJECT_SOURCE_DIR}/doc/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glidersect)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "colour sections of ocean-glider dive data")
set(CPACK_PACKAGE_DESCRIPTION "Reads a glider's dive file (*.SCI) or glider netCDF files and draws
distance-versus-depth sections: colour cells, line contours with hand-placed
labels, axes and title, in a window or as EPS, PDF, SVG or PNG hardcopies.
A console dialogue, or one command with named options.")
set(CPACK_PACKAGE_CONTACT "glidersect maintainers <maintainers@glidersect.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The run-time libraries of Debian 12 that the program links, and those it
# loads when it needs them (SDL2 and Xlib for a window, netCDF for its files).
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.36), libstdc++6 (>= 12), libgcc-s1, libsdl2-2.0-0 (>= 2.26), libx11-6, libcairo2 (>= 1.16), libdeflate0 (>= 1.14), libnetcdf19 (>= 1:4.9.0)")
include(CPack)
