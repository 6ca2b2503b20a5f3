# What `cmake --install` puts in place and what CPack ships.
#
# Linux and other POSIX systems: the command-line program, its manual page
# (compressed, as Debian ships manual pages), the changelog and the copyright
# file, packed by `cpack -G DEB` into a Debian package.
# Windows: both programs, the user guide they open, a short read-me and the
# licence, side by side in one folder (the desktop program finds ONLINEHELP.PDF
# beside itself), packed by `cpack -G ZIP` into a zip file.
# Installing (and packing) takes what is built; it does not build every
# target first, some of which (tests, tools) a package build never needs.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(KW39_MAINTAINER "kw39pcaconv developers <maintainers@kw39pcaconv.example>")

if(WIN32)
    configure_file(${PROJECT_SOURCE_DIR}/docs/windows/README.TXT.in
        ${CMAKE_BINARY_DIR}/package/README.TXT @ONLY NEWLINE_STYLE CRLF)
    configure_file(${PROJECT_SOURCE_DIR}/LICENSE
        ${CMAKE_BINARY_DIR}/package/LICENSE.TXT @ONLY NEWLINE_STYLE CRLF)
    install(TARGETS Kw39PCAConv kw39pcaconv RUNTIME DESTINATION .)
    install(FILES ${PROJECT_SOURCE_DIR}/docs/ONLINEHELP.PDF ${CMAKE_BINARY_DIR}/package/README.TXT
        ${CMAKE_BINARY_DIR}/package/LICENSE.TXT DESTINATION .)
else()
    include(GNUInstallDirs)
    # gzip -n: no name and no time stamp in the header, so the same page
    # always compresses to the same bytes. Built with the program, so that
    # installing after `--target kw39pcaconv` finds it.
    set(compressed ${CMAKE_BINARY_DIR}/package)
    add_custom_command(OUTPUT ${compressed}/kw39pcaconv.1.gz ${compressed}/changelog.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${compressed}
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/kw39pcaconv.1
            ${PROJECT_SOURCE_DIR}/docs/debian/changelog ${compressed}
        COMMAND gzip -9nf ${compressed}/kw39pcaconv.1 ${compressed}/changelog
        DEPENDS ${PROJECT_SOURCE_DIR}/docs/kw39pcaconv.1 ${PROJECT_SOURCE_DIR}/docs/debian/changelog
        VERBATIM)
    add_custom_target(kw39_compressed_docs DEPENDS ${compressed}/kw39pcaconv.1.gz ${compressed}/changelog.gz)
    add_dependencies(kw39pcaconv kw39_compressed_docs)

    install(TARGETS kw39pcaconv RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${compressed}/kw39pcaconv.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${compressed}/changelog.gz ${PROJECT_SOURCE_DIR}/docs/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

set(CPACK_PACKAGE_NAME kw39pcaconv)
set(CPACK_PACKAGE_VENDOR "kw39pcaconv developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "converts PCA給与X CSV exports into the XML document Orvelle imports")
set(CPACK_PACKAGE_CONTACT "${KW39_MAINTAINER}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    # Kw39PCAConv-1.0.0-win64.zip, unpacking into a folder of the same name.
    set(CPACK_PACKAGE_FILE_NAME Kw39PCAConv-${PROJECT_VERSION}-win64)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KW39_MAINTAINER}")
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # The library dependencies (libc6, libstdc++6, libgcc-s1) as dpkg-shlibdeps
    # finds them in the program. Without the tools CPack would build a package
    # without any Depends; the check below refuses to build one.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/cpack_checks.cmake)
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "Converts the CSV exports of the payroll package PCA給与X (Shift_JIS)\n\
into the one Shift_JIS XML document that the year-end-adjustment system\n\
Orvelle imports: one company with --folder, many with --batch, with a\n\
report of what the conversion left out.")
endif()

include(CPack)
