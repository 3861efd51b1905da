# Compiler flags shared by every target of the project.
if(MSVC)
  add_compile_options(/W4 /utf-8 /fp:precise)
else()
  add_compile_options(-Wall -Wextra -fno-math-errno -ffp-contract=off)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_SYSTEM_PROCESSOR MATCHES "i.86|x86")
    # x87 extended intermediates would change rounded pixel results.
    add_compile_options(-msse2 -mfpmath=sse)
  endif()
  if(VIRELTA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    # -O1 and line tables are what the sanitizers' reports need: -O2 with full
    # debug information takes twice as long to compile every instrumented file.
    add_compile_options($<$<NOT:$<CONFIG:Debug>>:-O1> $<$<NOT:$<CONFIG:Debug>>:-g1>)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()

if(MINGW)
  # The product runs with nothing beside the system's own DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# A static library made of every source file in the calling folder; the
# arguments after the name are the libraries its code uses, and nothing else,
# so that an include reaching into a layer it does not declare fails to link.
function(virelta_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# The test program of a layer that keeps its tests beside it (tests/*.cpp in
# the calling folder), linked with the libraries after LINK. GoogleTest is
# set up by tests/, which is read later, so the program is finished once the
# whole project has been read; without GoogleTest it is left out of the build.
function(virelta_layer_tests target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "TIMEOUT" "LINK")
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${arg_LINK})
  # EVAL, so that the arguments are read now and not when the call runs.
  cmake_language(EVAL CODE
    "cmake_language(DEFER DIRECTORY [[${PROJECT_SOURCE_DIR}]] CALL virelta_finish_layer_tests [[${target}]] [[${arg_TIMEOUT}]])")
endfunction()

function(virelta_finish_layer_tests target timeout)
  if(NOT TARGET GTest::gtest_main)
    set_target_properties(${target} PROPERTIES EXCLUDE_FROM_ALL ON)
    return()
  endif()
  target_link_libraries(${target} PRIVATE GTest::gtest_main)
  string(REGEX REPLACE "^test_" "unit_" test_name ${target})
  add_test(NAME ${test_name} COMMAND ${target} --gtest_brief=1)
  if(timeout)
    set_tests_properties(${test_name} PROPERTIES TIMEOUT ${timeout})
  endif()
endfunction()
