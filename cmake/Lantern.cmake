# Shared compile settings and the helper that turns a folder into a library.

add_library(lantern_options INTERFACE)
target_compile_options(lantern_options INTERFACE -Wall -Wextra)
target_include_directories(lantern_options INTERFACE ${PROJECT_SOURCE_DIR}/src)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # The sources are UTF-8; the program keeps its text as Shift-JIS, so string
  # literals are stored as CP932 (u8"..." literals stay UTF-8). clang cannot do
  # this, so the clang (fuzzing) build keeps UTF-8 literals: only messages differ.
  target_compile_options(lantern_options INTERFACE
    $<$<COMPILE_LANGUAGE:CXX>:-finput-charset=UTF-8 -fexec-charset=CP932>)
  target_compile_definitions(lantern_options INTERFACE LANTERN_SJIS_LITERALS=1)
endif()
if(LANTERN_WERROR)
  target_compile_options(lantern_options INTERFACE -Werror)
endif()
if(LANTERN_SANITIZE)
  target_compile_options(lantern_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(lantern_options INTERFACE -fsanitize=address,undefined)
endif()
if(LANTERN_TSAN)
  target_compile_options(lantern_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(lantern_options INTERFACE -fsanitize=thread)
endif()
if(LANTERN_FUZZ)
  target_compile_options(lantern_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_link_options(lantern_options INTERFACE -fsanitize=address,undefined)
endif()

# lantern_subsystem(NAME [DEPS lib...] [PRIVATE_DEPS lib...])
# Builds every .cpp under src/NAME (recursively) into the static library
# lantern_NAME. Static libraries may depend on each other in a cycle
# (the raster operations are methods of the display core's plane).
function(lantern_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  if(NOT sources)
    set(sources ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(lantern_${name} STATIC ${sources})
  target_link_libraries(lantern_${name} PUBLIC lantern_options ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()
