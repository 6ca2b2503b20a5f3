# Read by CPack before it packs (CPACK_PROJECT_CONFIG_FILE). A Debian package
# takes its Depends from dpkg-shlibdeps, which CPack runs on the files that
# `file` says are programs; when either tool is missing CPack only warns and
# packs a .deb that installs without its libraries. Stop instead.
if(CPACK_GENERATOR STREQUAL "DEB")
    find_program(KW39_FILE_TOOL file)
    find_program(KW39_SHLIBDEPS dpkg-shlibdeps)
    if(NOT KW39_FILE_TOOL OR NOT KW39_SHLIBDEPS)
        message(FATAL_ERROR
            "A Debian package needs the programs file and dpkg-shlibdeps to find "
            "its library dependencies. Install them with:\n"
            "  sudo apt-get install -y file dpkg-dev")
    endif()
endif()
