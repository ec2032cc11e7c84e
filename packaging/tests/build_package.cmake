# Builds the Debian package from the build tree into an empty scratch folder,
# as OUT/vantelo.deb, for the tests that install and check it.
#
#   cmake -DCPACK=... -DCONFIG=.../CPackConfig.cmake -DOUT=FOLDER -P build_package.cmake
foreach(variable CPACK CONFIG OUT)
    if(NOT ${variable})
        message(FATAL_ERROR "build_package.cmake needs -D${variable}=...")
    endif()
endforeach()

file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${CPACK} --config ${CONFIG} -G DEB -B ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cpack failed: ${status}")
endif()
file(GLOB packages ${OUT}/*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "cpack made ${count} packages, not one: ${packages}")
endif()
file(RENAME ${packages} ${OUT}/vantelo.deb)
