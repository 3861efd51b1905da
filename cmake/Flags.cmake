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
