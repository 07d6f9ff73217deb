# umbrix_delay_loadable(DLL): the interface library umbrix_DLL, for the libraries that call into
# DLL. It links DLL's ordinary import library, except into an executable whose property
# UMBRIX_DELAY_LOAD is true (the program): there it links an import library made from
# cmake/delay-load/DLL.def by dlltool --output-delaylib, so DLL is loaded at the first call into
# it, after the program has restricted where DLLs are searched for.
function(umbrix_delay_loadable dll)
    set(def ${CMAKE_SOURCE_DIR}/cmake/delay-load/${dll}.def)
    set(folder ${CMAKE_BINARY_DIR}/delay-load)
    set(lib ${folder}/lib${dll}-delayed.a)
    # dlltool names its symbols after the output file and its members after the temporary
    # prefix: both given without a folder, so that no build folder gets into the program.
    file(MAKE_DIRECTORY ${folder})
    add_custom_command(OUTPUT ${lib}
        COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll}.dll --temp-prefix ${dll}-delayed
                --output-delaylib lib${dll}-delayed.a
        WORKING_DIRECTORY ${folder}
        DEPENDS ${def}
        COMMENT "Delay-load import library for ${dll}.dll")
    add_custom_target(umbrix_${dll}_delayed DEPENDS ${lib})
    add_library(umbrix_${dll} INTERFACE)
    target_link_libraries(umbrix_${dll} INTERFACE "$<IF:$<BOOL:$<TARGET_PROPERTY:UMBRIX_DELAY_LOAD>>,${lib},${dll}>")
    add_dependencies(umbrix_${dll} umbrix_${dll}_delayed)
endfunction()
