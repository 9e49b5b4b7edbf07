# Installs the library into a fresh folder, builds the consumer project
# against that install tree alone and runs it under Wine.
#   cmake -DBUILD=<build folder> -DSOURCE=<source folder> -DWORK=<scratch folder> -P RunConsumer.cmake
file(REMOVE_RECURSE ${WORK})
set(prefix ${WORK}/install)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix} COMMAND_ERROR_IS_FATAL ANY
                OUTPUT_QUIET)
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE}/tests/consumer -B ${WORK}/build -G Ninja
                        -DCMAKE_TOOLCHAIN_FILE=${SOURCE}/cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
                        -DCMAKE_PREFIX_PATH=${prefix}
                COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK}/build COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)
# Beside the program, as a product's setup places it.
file(COPY ${prefix}/bin/PVDLL.dll DESTINATION ${WORK}/build)
execute_process(COMMAND ${BUILD}/wine-run ${WORK}/build/consumer.exe RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the consumer ended with ${result}")
endif()
message(STATUS "the consumer built against the install tree and ran")
