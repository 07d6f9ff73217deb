# umbrix_library(NAME SOURCES... [DEPENDS libs...]): one subsystem's static library with our flags.
function(umbrix_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_compile_options(${name} PRIVATE ${UMBRIX_CXX_FLAGS})
    target_compile_definitions(${name} PUBLIC ${UMBRIX_DEFINES})
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# umbrix_add_resources(TARGET): builds the program's resources (res/umbrix.rc) into an executable.
function(umbrix_add_resources target)
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:umbrix_resources>)
endfunction()

# umbrix_test(NAME [RESOURCES] SOURCES... [DEPENDS libs...]): a GoogleTest executable run by CTest
# under Wine. RESOURCES: it carries the program's resources (dialogs, pictures, strings).
function(umbrix_test name)
    cmake_parse_arguments(ARG "RESOURCES" "" "SOURCES;DEPENDS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    if(ARG_RESOURCES)
        umbrix_add_resources(${name})
    endif()
    target_compile_options(${name} PRIVATE ${UMBRIX_CXX_FLAGS})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} umbrix_testsupport GTest::gtest)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600)
endfunction()
