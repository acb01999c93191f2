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
if(LANTERN_SANITIZE OR LANTERN_TSAN OR LANTERN_FUZZ)
  # LANTERN_ASSERT checks stay on in the checking builds whatever their type.
  target_compile_definitions(lantern_options INTERFACE LANTERN_ASSERTIONS=1)
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

# lantern_subsystem(NAME [DEPS lib...] [PRIVATE_DEPS lib...] [ALLOW_HEADERS group...]
#                   [FORMATS file...] [FORMATS_DEPS lib...] [FORMATS_PRIVATE_DEPS lib...]
#                   [FORMATS_ALLOW_HEADERS group...] [EXCLUDE file...])
# Builds the .cpp files under src/NAME (recursively) into static libraries:
# the FORMATS files (paths or globs relative to the folder: the readers and
# writers of files and bytes) into lantern_NAME_formats, which links only
# FORMATS_DEPS (other formats libraries and codecs); every other file but the
# EXCLUDEd ones into lantern_NAME, the runtime, which links its formats
# library. Outside the platform a library sees no system library headers but
# those of its ALLOW_HEADERS (see lantern_guard_headers). Runtime libraries
# may depend on each other in a cycle (the raster operations are methods of
# the display core's plane); formats libraries never do.
function(lantern_subsystem name)
  cmake_parse_arguments(ARG "" ""
    "DEPS;PRIVATE_DEPS;ALLOW_HEADERS;FORMATS;FORMATS_DEPS;FORMATS_PRIVATE_DEPS;FORMATS_ALLOW_HEADERS;EXCLUDE"
    ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  set(kept "")
  foreach(pattern ${ARG_EXCLUDE} ${ARG_FORMATS})
    file(GLOB matched CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${pattern})
    if(NOT matched)
      message(FATAL_ERROR "lantern_${name}: ${pattern} names no file")
    endif()
    list(REMOVE_ITEM sources ${matched})
    if(pattern IN_LIST ARG_FORMATS)
      list(APPEND kept ${matched})
    endif()
  endforeach()
  if(kept)
    add_library(lantern_${name}_formats STATIC ${kept})
    target_link_libraries(lantern_${name}_formats
      PUBLIC lantern_options ${ARG_FORMATS_DEPS} PRIVATE ${ARG_FORMATS_PRIVATE_DEPS})
    lantern_guard_headers(lantern_${name}_formats ALLOW ${ARG_FORMATS_ALLOW_HEADERS})
    list(APPEND ARG_DEPS lantern_${name}_formats)
  endif()
  if(NOT sources)
    set(sources ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(lantern_${name} STATIC ${sources})
  target_link_libraries(lantern_${name} PUBLIC lantern_options ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  if(NOT name STREQUAL "platform")
    lantern_guard_headers(lantern_${name} ALLOW ${ARG_ALLOW_HEADERS})
  endif()
endfunction()

# The platform boundary. Only src/platform may include the system libraries'
# headers; everywhere else each such header is shadowed by one that stops the
# compile with a message saying where the call belongs. The shadows are made
# at configure time from the installed headers, one folder per library, and
# put first on the include path of every target outside the platform. A
# target names the libraries it may still include (the picture readers call
# libpng and zlib themselves; the one Shift-JIS converter calls iconv).
set(LANTERN_HEADER_GUARD_DIR ${PROJECT_BINARY_DIR}/header-guard)
set(_arch_include /usr/include/${CMAKE_LIBRARY_ARCHITECTURE})
# group|folder of headers|prefix they are included with (or group|file:path)
set(_guarded_headers
  "sdl2|/usr/include/SDL2|SDL2/" "sdl2|/usr/include/SDL2|"
  "imgui|/usr/include/imgui|imgui/" "imgui|/usr/include/imgui|" "imgui|/usr/include/stb|stb/"
  "freetype|/usr/include/freetype2|freetype2/" "freetype|/usr/include/freetype2|"
  "fontconfig|/usr/include/fontconfig|fontconfig/"
  "cdio|/usr/include/cdio|cdio/"
  "x11|/usr/include/X11|X11/" "x11|/usr/include/GL|GL/"
  "jpeg|file:/usr/include/jpeglib.h" "jpeg|file:/usr/include/jerror.h"
  "jpeg|file:/usr/include/jmorecfg.h" "jpeg|file:${_arch_include}/jconfig.h"
  "gif|file:/usr/include/gif_lib.h"
  "iconv|file:/usr/include/iconv.h"
  "png|file:/usr/include/png.h" "png|file:/usr/include/pngconf.h"
  "png|file:/usr/include/pnglibconf.h" "png|/usr/include/libpng16|libpng16/"
  "zlib|file:/usr/include/zlib.h" "zlib|file:/usr/include/zconf.h")
foreach(lib avcodec avformat avutil swscale swresample avdevice avfilter postproc)
  list(APPEND _guarded_headers "ffmpeg|${_arch_include}/lib${lib}|lib${lib}/")
endforeach()
set(LANTERN_GUARDED_GROUPS "")
foreach(entry ${_guarded_headers})
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 group)
  list(GET parts 1 where)
  list(APPEND LANTERN_GUARDED_GROUPS ${group})
  set(names "")
  if(where MATCHES "^file:(.*)$")
    if(EXISTS ${CMAKE_MATCH_1})
      get_filename_component(names ${CMAKE_MATCH_1} NAME)
    endif()
  elseif(IS_DIRECTORY ${where})
    list(GET parts 2 prefix)
    file(GLOB_RECURSE found RELATIVE ${where} ${where}/*.h ${where}/*.hpp)
    foreach(name ${found})
      list(APPEND names "${prefix}${name}")
    endforeach()
  endif()
  foreach(name ${names})
    if(group STREQUAL "iconv")
      set(advice "convert with the one Shift-JIS converter, frame/TextEncoding.h")
    else()
      set(advice "only src/platform calls this library: use the platform layer (src/platform/*.h)")
    endif()
    file(CONFIGURE OUTPUT ${LANTERN_HEADER_GUARD_DIR}/${group}/${name}
      CONTENT "#error \"header guard: <${name}>: ${advice}\"\n")
  endforeach()
endforeach()
list(REMOVE_DUPLICATES LANTERN_GUARDED_GROUPS)

# lantern_guard_headers(TARGET [ALLOW group...]): TARGET fails to compile when
# it includes a guarded library's header, except those of the ALLOWed groups.
function(lantern_guard_headers target)
  cmake_parse_arguments(ARG "" "" "ALLOW" ${ARGN})
  foreach(group ${LANTERN_GUARDED_GROUPS})
    if(NOT group IN_LIST ARG_ALLOW)
      target_include_directories(${target} BEFORE PRIVATE ${LANTERN_HEADER_GUARD_DIR}/${group})
    endif()
  endforeach()
endfunction()
