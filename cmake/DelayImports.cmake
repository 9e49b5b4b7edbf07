# Delay-import libraries: a DLL imported through one of these is bound on
# the first call of one of its functions instead of when the library is
# loaded. The library is loaded into the shell and into every program of
# the product, so whatever it binds at load is paid everywhere; it binds
# only kernel32 and the C runtime at load.
#
# pvdll_delay_import_libraries(OUT dll...) makes, once per build folder, a
# delay-import library for each named system DLL from the toolchain's own
# import library (its function names, through nm) and sets OUT to their
# paths, to be linked in place of -l<dll>.
function(pvdll_delay_import_libraries out)
    set(folder ${CMAKE_BINARY_DIR}/delayimp)
    file(MAKE_DIRECTORY ${folder})
    set(libraries)
    foreach(dll ${ARGN})
        set(library ${folder}/lib${dll}_delay.a)
        if(NOT EXISTS ${library})
            find_library(import_${dll} NAMES lib${dll}.a ${dll} REQUIRED)
            execute_process(COMMAND ${CMAKE_NM} -g --defined-only ${import_${dll}}
                            OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
            # Function stubs are the text symbols; the __imp_ pointers and
            # the import descriptors are not names of the DLL.
            string(REGEX MATCHALL "[^\n]* T [^\n]*" lines "${symbols}")
            set(names)
            foreach(line ${lines})
                string(REGEX REPLACE ".* T " "" name "${line}")
                list(APPEND names ${name})
            endforeach()
            list(REMOVE_DUPLICATES names)
            string(TOUPPER ${dll} upper)
            list(JOIN names "\n" body)
            file(WRITE ${folder}/${dll}.def "LIBRARY ${upper}.dll\nEXPORTS\n${body}\n")
            execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${folder}/${dll}.def --dllname ${upper}.dll
                                    --output-delaylib ${library}
                            COMMAND_ERROR_IS_FATAL ANY)
        endif()
        list(APPEND libraries ${library})
    endforeach()
    set(${out} ${libraries} PARENT_SCOPE)
endfunction()
