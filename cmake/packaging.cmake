# What `cmake --install` puts in place and what CPack ships.
#
# Linux and other POSIX systems: the command-line program and its manual page,
# packed by `cpack -G DEB` into a Debian package.
# Windows: both programs, the user guide they open and a short read-me, side by
# side in one folder (the desktop program finds ONLINEHELP.PDF beside itself),
# packed by `cpack -G ZIP` into a zip file.
# Installing (and packing) takes what is built; it does not build every
# target first, some of which (tests, tools) a package build never needs.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

if(WIN32)
    configure_file(${PROJECT_SOURCE_DIR}/docs/windows/README.TXT.in
        ${CMAKE_BINARY_DIR}/package/README.TXT @ONLY NEWLINE_STYLE CRLF)
    install(TARGETS Kw39PCAConv kw39pcaconv RUNTIME DESTINATION .)
    install(FILES ${PROJECT_SOURCE_DIR}/docs/ONLINEHELP.PDF ${CMAKE_BINARY_DIR}/package/README.TXT
        DESTINATION .)
else()
    include(GNUInstallDirs)
    install(TARGETS kw39pcaconv RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${PROJECT_SOURCE_DIR}/docs/kw39pcaconv.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_PACKAGE_NAME kw39pcaconv)
set(CPACK_PACKAGE_VENDOR "kw39pcaconv")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Converts PCA給与X CSV exports into the XML document Orvelle imports")
set(CPACK_PACKAGE_CONTACT "kw39pcaconv developers")
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    # Kw39PCAConv-1.0.0-win64.zip, unpacking into a folder of the same name.
    set(CPACK_PACKAGE_FILE_NAME Kw39PCAConv-${PROJECT_VERSION}-win64)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # The library dependencies (libc6, libstdc++6, libgcc-s1) as dpkg-shlibdeps
    # finds them in the program.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "Converts the CSV exports of the payroll package PCA給与X (Shift_JIS)\n\
into the one Shift_JIS XML document that the year-end-adjustment system\n\
Orvelle imports: one company with --folder, many with --batch, with a\n\
report of what the conversion left out.")
endif()

include(CPack)
