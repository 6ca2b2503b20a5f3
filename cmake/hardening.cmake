# The hardening flags Debian builds its packages with (dpkg-buildflags with
# hardening=+all): stack protection, checked string and memory functions,
# position-independent executables and a read-only, fully bound relocation
# table.
add_compile_options(-fstack-protector-strong -fstack-clash-protection -Wformat -Werror=format-security)
# The checked functions need the optimiser; a Debug build would only warn.
add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|amd64")
    add_compile_options(-fcf-protection)
endif()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
add_link_options(-Wl,-z,relro -Wl,-z,now)
