# Packs the Windows programs with CPack as tools/build-windows.sh does, unpacks
# the zip into a scratch folder and checks that it holds exactly what is
# shipped, in one folder; the driver then runs the programs from there.
#   cmake -DCPACK=... -DCONFIG=.../CPackConfig.cmake -DSCRATCH=... -DNAME=... -P unpack-zip.cmake
file(REMOVE_RECURSE ${SCRATCH})
execute_process(COMMAND ${CPACK} -G ZIP --config ${CONFIG} -B ${SCRATCH}
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cpack failed:\n${output}")
endif()
file(ARCHIVE_EXTRACT INPUT ${SCRATCH}/${NAME}.zip DESTINATION ${SCRATCH}/unpacked)
file(GLOB_RECURSE files RELATIVE ${SCRATCH}/unpacked ${SCRATCH}/unpacked/*)
list(SORT files)
set(expected ${NAME}/Kw39PCAConv.exe ${NAME}/LICENSE.TXT ${NAME}/ONLINEHELP.PDF ${NAME}/README.TXT ${NAME}/kw39pcaconv.exe)
if(NOT files STREQUAL expected)
    message(FATAL_ERROR "the zip holds\n  ${files}\ninstead of\n  ${expected}")
endif()
message(STATUS "${NAME}.zip unpacked to ${SCRATCH}/unpacked/${NAME}")
